#!/usr/bin/env bash
# Installs the Debian packages that building and running bixo need; with --tests, also what its
# test suite needs; with --package, what building its Debian package needs (--package-checks
# adds lintian and man, for tools/package/check.sh). The tools that make the pictures, banners
# and music list their own needs in their READMEs and are installed by none of these.
#   bash tools/setup.sh            # build and run the show
#   bash tools/setup.sh --tests    # ... and run the tests
#   bash tools/setup.sh --package  # ... and build the Debian package
# Quick when everything is already there: apt is only asked when a package is missing.
set -euo pipefail

show_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libasound2-dev libmpg123-dev libkissfft-dev
)
# GoogleTest for the suites; python3 with numpy for the asset tools' own tests, which run in ctest;
# the sound servers that some tests start for the real program to play through (pactl and parec
# in pulseaudio-utils, pw-cli in pipewire-bin, dbus-run-session in dbus-daemon).
test_packages=(
  libgtest-dev libgmock-dev
  python3 python3-numpy
  pulseaudio pulseaudio-utils pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon
)
# dpkg-shlibdeps and dpkg-buildflags; CPack finds the programs to give to dpkg-shlibdeps with `file`.
package_packages=(dpkg-dev file)

case "${1:-}" in
  "") packages=("${show_packages[@]}") ;;
  --tests) packages=("${show_packages[@]}" "${test_packages[@]}") ;;
  --package) packages=("${show_packages[@]}" "${package_packages[@]}") ;;
  --package-checks) packages=("${show_packages[@]}" "${package_packages[@]}" lintian man-db) ;;
  *) echo "usage: bash tools/setup.sh [--tests | --package | --package-checks]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_if_needed=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_if_needed=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_if_needed[@]}" apt-get update -qq
"${sudo_if_needed[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
