#!/usr/bin/env bash
# Cross-builds bixo for Windows, from a Linux machine: installs what is missing, makes the static
# libraries (cached outside the clone by tools/windows/libraries.sh), then builds
#   build-windows-i686/bixo.exe     for 32-bit Windows (runs on 64-bit Windows too)
#   build-windows-x86_64/bixo.exe   for 64-bit Windows; its tests run here under wine64
# and packs what a Windows user copies: build-windows-<arch>/bixo-windows-<arch>/ (bixo.exe and
# bixo.mp3) and the same folder as a zip beside it. Each bixo.exe is a console program that
# needs no DLL beyond Windows' own.
#   bash tools/windows/build.sh [--werror]
set -euo pipefail
cd "$(dirname "$0")/../.."

werror=OFF
case "${1:-}" in
  "") ;;
  --werror) werror=ON ;;
  *) echo "usage: bash tools/windows/build.sh [--werror]" >&2; exit 2 ;;
esac

bash tools/windows/setup.sh

# What `file` says of a console program for each architecture.
declare -A expected_type=(
  [i686]="PE32 executable (console) Intel 80386"
  [x86_64]="PE32+ executable (console) x86-64"
)
# The DLLs bixo.exe may import: all of them part of Windows itself.
system_dlls='^(advapi32|gdi32|imm32|kernel32|msvcrt|ole32|oleaut32|setupapi|shell32|shlwapi|user32|version|winmm)\.dll$'

# The libraries of both architectures at once: much of their build is configure scripts and
# CMake's checks, which use one core each.
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
declare -A library_builds
for arch in i686 x86_64; do
  bash tools/windows/libraries.sh "$arch" >"$logs/$arch" 2>&1 &
  library_builds[$arch]=$!
done
for arch in i686 x86_64; do
  wait "${library_builds[$arch]}" || { cat "$logs/$arch"; echo "the $arch libraries failed" >&2; exit 1; }
  head -n -1 "$logs/$arch"
done

for arch in i686 x86_64; do
  prefix=$(tail -n 1 "$logs/$arch")
  build=build-windows-$arch
  cmake -S . -B "$build" --toolchain "tools/windows/$arch.cmake" \
    -DBIXO_WINDOWS_PREFIX="$prefix" -DBIXO_WERROR="$werror" >/dev/null
  cmake --build "$build" --parallel 2

  description=$(file -b "$build/bixo.exe")
  if [[ "$description" != "${expected_type[$arch]}"* ]]; then
    echo "$build/bixo.exe is no ${expected_type[$arch]}: $description" >&2
    exit 1
  fi
  foreign=$("$arch-w64-mingw32-objdump" -p "$build/bixo.exe" | awk '/DLL Name:/ { print tolower($3) }' |
    grep -Ev "$system_dlls" || true)
  if [ -n "$foreign" ]; then
    echo "$build/bixo.exe needs DLLs that Windows lacks: $foreign" >&2
    exit 1
  fi

  package=bixo-windows-$arch
  rm -rf "${build:?}/$package" "$build/$package.zip"
  mkdir "$build/$package"
  cp "$build/bixo.exe" "$build/bixo.mp3" "$build/$package/"
  "$arch-w64-mingw32-strip" "$build/$package/bixo.exe"  # the debugging symbols stay in the build
  (cd "$build" && cmake -E tar cf "$package.zip" --format=zip "$package")
  echo "$build/bixo.exe: $description; for Windows users: $build/$package.zip"
done
