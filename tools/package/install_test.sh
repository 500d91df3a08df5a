#!/usr/bin/env bash
# Installs a build folder's bixo under a scratch prefix and runs it there as users do
# (run_installed.sh): the launcher must find the program and its music wherever the prefix is.
# Run by ctest (test installed_launcher).
#   bash tools/package/install_test.sh BUILD_FOLDER [CMAKE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"${2:-cmake}" --install "$1" --prefix "$prefix" >/dev/null
bash "$here/run_installed.sh" "$prefix/games/bixo"
