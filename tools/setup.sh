#!/usr/bin/env bash
# Installs every Debian package that building, running and testing bixo needs.
# Quick when everything is already there: apt is only asked when a package is missing.
#   bash tools/setup.sh
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libasound2-dev libmpg123-dev
  libkissfft-dev
  libgtest-dev libgmock-dev
  lame ffmpeg figlet python3 python3-numpy python3-pil fonts-dejavu-core
  util-linux time expect
)

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
