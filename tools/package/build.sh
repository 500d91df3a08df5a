#!/usr/bin/env bash
# Builds the Debian package build-package/bixo_<version>_<arch>.deb with Debian's own build flags
# (hardening included) and prints its path on the last line.
#   bash tools/package/build.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

bash tools/setup.sh --package

build=build-package
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Given on the command line, since CMake reads CXXFLAGS and LDFLAGS from the environment only on
# a build folder's first run, and CPPFLAGS never.
cmake -S . -B "$build" -DBIXO_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" --parallel 2
rm -f "$build"/bixo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/bixo_*.deb
