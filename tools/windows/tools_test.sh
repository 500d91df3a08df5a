#!/usr/bin/env bash
# Tests of the Windows build's own tools that need no cross-build: the deb-src entries
# tools/windows/setup.sh adds on a fresh machine, and the pkg-config files tools/windows/libraries.sh
# rewrites for static linking. Run by ctest (test windows_tools); exits 1 on the first failure.
#   bash tools/windows/tools_test.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# expect_same NAME EXPECTED ACTUAL
expect_same() {
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"
    diff <(echo "$2") <(echo "$3") || true
    exit 1
  fi
  echo "ok: $1"
}

# ---- deb-src entries: Debian's mirrors and suites only, from both formats ----------------------

cat >"$scratch/one-line.list" <<'LIST'
# deb http://deb.debian.org/debian commented-out main
deb http://deb.debian.org/debian bookworm main contrib
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://security.debian.org/debian-security bookworm-security main
deb-src http://deb.debian.org/debian bookworm main
deb https://packages.example.com/apt stable main
LIST
cat >"$scratch/deb822.sources" <<'SOURCES'
Types: deb
# a mirror snapshot, kept for reference
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: https://deb.example.org/node
Suites: nodistro
Components: main

Types: deb
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main
Enabled: no
SOURCES

expected='Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://security.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
actual=$(bash "$here/setup.sh" --deb-src-for "$scratch/one-line.list" "$scratch/deb822.sources" "$scratch/missing.list")
expect_same "deb-src entries for Debian's binary entries, others and disabled ones left out" "$expected" "$actual"

# ---- pkg-config files for static linking ----------------------------------------------------------

cat >"$scratch/sdl2.pc" <<'PC'
prefix=/cache/x86_64
libdir=${prefix}/lib
Name: sdl2
Libs: -L${libdir}   -lmingw32 -lSDL2 -mwindows
Libs.private: -lm -luser32 -lwinmm -lsetupapi
Cflags: -I${prefix}/include/SDL2
PC
bash "$here/libraries.sh" --static-pc "$scratch/sdl2.pc"
expected='prefix=/cache/x86_64
libdir=${prefix}/lib
Name: sdl2
Libs: -L${libdir}   -lmingw32 -lSDL2 -lm -luser32 -lwinmm -lsetupapi
Cflags: -I${prefix}/include/SDL2'
expect_same "the private libraries join Libs, and -mwindows goes: bixo stays a console program" \
  "$expected" "$(cat "$scratch/sdl2.pc")"

cat >"$scratch/kissfft.pc" <<'PC'
Name: kissfft
Libs: -L/cache/lib -lkissfft-float
Cflags: -I/cache/include/kissfft -Dkiss_fft_scalar=float
PC
before=$(cat "$scratch/kissfft.pc")
bash "$here/libraries.sh" --static-pc "$scratch/kissfft.pc"
expect_same "a file without private libraries stays as it was" "$before" "$(cat "$scratch/kissfft.pc")"
