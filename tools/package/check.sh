#!/usr/bin/env bash
# CI's package stage: builds the Debian package (build.sh), checks it with lintian, installs it
# with dpkg, checks its man page, starts the installed bixo from an unrelated folder and ends it
# with Ctrl-C (run_installed.sh), removes it with dpkg and checks that nothing it installed is
# left. Run as root, on a machine where bixo is not installed.
#   bash tools/package/check.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

bash tools/setup.sh --package-checks
installed() {
  dpkg-query -W -f='${Status}' bixo 2>/dev/null | grep -q 'ok installed'
}
if installed; then
  echo "bixo is installed already: this check installs and removes it itself" >&2
  exit 1
fi

deb=$(bash tools/package/build.sh | tail -n 1)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
lintian --fail-on error,warning "$deb"
echo "lintian: no error, no warning"

scratch=$(mktemp -d)
trap 'if installed; then dpkg -r bixo >/dev/null; fi; rm -rf "$scratch"' EXIT
dpkg -i "$deb" >/dev/null
dpkg -L bixo >"$scratch/installed"

warnings=$(MANWIDTH=80 man --warnings -l /usr/share/man/man6/bixo.6.gz 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "FAIL: the man page renders with warnings:" >&2
  echo "$warnings" >&2
  exit 1
fi
echo "ok: the man page renders without a warning"

bash tools/package/run_installed.sh /usr/games/bixo

dpkg -r bixo >/dev/null
# What dpkg listed may stay only if it is a folder that another package owns as well.
left=()
shared=0
while read -r path; do
  if [ "$path" != "/." ] && { [ -e "$path" ] || [ -L "$path" ]; }; then
    if [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
      shared=$((shared + 1))
    else
      left+=("$path")
    fi
  fi
done <"$scratch/installed"
if compgen -G "/var/lib/dpkg/info/bixo.*" >/dev/null; then
  left+=(/var/lib/dpkg/info/bixo.*)
fi
if [ ${#left[@]} -gt 0 ]; then
  echo "FAIL: dpkg -r left behind: ${left[*]}" >&2
  exit 1
fi
echo "ok: dpkg -r left none of the $(grep -cv '^/\.$' "$scratch/installed") paths it had installed but $shared folders other packages own too"
