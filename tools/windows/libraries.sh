#!/usr/bin/env bash
# Makes the static Windows libraries bixo links (libmpg123, SDL2, KissFFT, GoogleTest) for one
# architecture: cross-built with mingw-w64 from Debian's own source packages (apt-get source;
# GoogleTest from /usr/src/googletest) and installed into a cache outside the clone,
#   ${BIXO_WINDOWS_CACHE:-$HOME/.cache/bixo-windows}/<arch>-<key>
# where the key hashes the source versions, the compilers' versions and the build flags below:
# a second run with the same key builds nothing. The last line printed is that directory.
# Needs what tools/windows/setup.sh installs.
#   bash tools/windows/libraries.sh i686|x86_64
#   bash tools/windows/libraries.sh --static-pc FILE   (only rewrites one .pc file as below)
set -euo pipefail
shopt -s inherit_errexit  # a failure inside $(...) stops the script too

# Every library here is static, so what a shared build keeps private must be linked as well.
# SDL2 asks for -mwindows, which would make bixo a windowed program instead of a console one.
make_pkg_config_static() {
  awk '/^Libs\.private:/ { sub(/^Libs\.private:[ \t]*/, ""); private = private " " $0; next }
       { lines[++n] = $0 }
       END { for (i = 1; i <= n; i++) { if (lines[i] ~ /^Libs:/) lines[i] = lines[i] private; print lines[i] } }' "$1" |
    sed -e 's/ -mwindows//g' >"$1.static"
  mv "$1.static" "$1"
}

case "${1:-}" in
  i686 | x86_64) arch=$1 ;;
  --static-pc) make_pkg_config_static "$2"; exit 0 ;;  # for tools/windows/tools_test.sh
  *) echo "usage: bash tools/windows/libraries.sh i686|x86_64" >&2; exit 2 ;;
esac
triple=$arch-w64-mingw32
here=$(cd "$(dirname "$0")" && pwd)
cache=${BIXO_WINDOWS_CACHE:-$HOME/.cache/bixo-windows}
jobs=2

# ---- The build flags (part of the key) ------------------------------------------------------

mpg123_flags=(CFLAGS=-O2 --enable-static --disable-shared --disable-modules --disable-network)
cmake_flags=(-DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include -DCMAKE_INSTALL_BINDIR=bin)
# Audio and threads are what bixo uses; video must stay, since the static library's dynamic-API
# table names the Windows video calls. No SDL2main: bixo's main is its own.
sdl2_flags=(-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
  -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF
  -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF)
kissfft_flags=(-DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON -DKISSFFT_PKGCONFIG=ON
  -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF -DKISSFFT_OPENMP=OFF)
gtest_flags=(-DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON)

# ---- Sources ----------------------------------------------------------------------------------

# Version of the source package apt would fetch, e.g. "1.31.2-1+deb12u1".
source_version() {
  apt-get source --print-uris -qq "$1" | awk '$2 ~ /\.dsc$/ && !found { sub(/^[^_]*_/, "", $2); sub(/\.dsc$/, "", $2); print $2; found = 1 }'
}

# Fetches source package $1 into $cache/sources (once) and prints the directory of its files.
# apt stops on files it cannot fetch (the mirror lacks some upstream signatures), so every file
# but a signature is checked against the checksum apt announced.
fetch_source() {
  local package=$1 version
  version=$(source_version "$package")
  local directory=$cache/sources/${package}_$version
  mkdir -p "$cache/sources"
  (
    flock 9  # the other architecture's build may want the same package at the same time
    if [ ! -f "$directory/.complete" ]; then
      rm -rf "$directory" && mkdir -p "$directory"
      (cd "$directory" && apt-get source --download-only -qq "$package" >download.log 2>&1) || true
      local url name size checksum
      while read -r url name size checksum; do
        case "$name" in *.asc) continue ;; esac
        if ! echo "${checksum#SHA256:}  $directory/$name" | sha256sum --check --status; then
          echo "could not fetch $name for $package:" >&2
          cat "$directory/download.log" >&2
          exit 1
        fi
      done < <(apt-get source --print-uris -qq "$package" | grep "^'")
      touch "$directory/.complete"
    fi
  ) 9>"$cache/sources/.lock"
  echo "$directory"
}

# Unpacks source package $1 into directory $2: the upstream tarball, then Debian's changes and
# patches, applied in the order of their series.
unpack_source() {
  local files
  files=$(fetch_source "$1")
  mkdir -p "$2"
  tar -xf "$(echo "$files"/*.orig.tar.*)" -C "$2" --strip-components=1
  tar -xf "$(echo "$files"/*.debian.tar.*)" -C "$2"
  if [ -f "$2/debian/patches/series" ]; then
    local patch options
    while read -r patch options; do
      case "$patch" in "" | "#"*) continue ;; esac
      patch --directory="$2" --quiet --force ${options:--p1} <"$2/debian/patches/$patch" >/dev/null
    done <"$2/debian/patches/series"
  fi
}

# ---- The cache key ------------------------------------------------------------------------------

recipe=$(
  echo "arch $arch"
  for package in mpg123 libsdl2 kissfft; do echo "$package $(source_version "$package")"; done
  echo "googletest $(dpkg-query -W -f='${Version}' libgtest-dev)"
  for package in "gcc-mingw-w64-${arch//_/-}-posix" "g++-mingw-w64-${arch//_/-}-posix" mingw-w64-common; do
    echo "$package $(dpkg-query -W -f='${Version}' "$package")"
  done
  echo "mpg123 ${mpg123_flags[*]}"
  echo "cmake ${cmake_flags[*]}"
  echo "sdl2 ${sdl2_flags[*]}"
  echo "kissfft ${kissfft_flags[*]}"
  echo "gtest ${gtest_flags[*]}"
)
prefix=$cache/$arch-$(echo "$recipe" | sha256sum | cut -c1-16)
if [ -f "$prefix/.complete" ]; then
  echo "Libraries for $arch are in the cache"
  echo "$prefix"
  exit 0
fi

# ---- Building ---------------------------------------------------------------------------------

mkdir -p "$cache"
work=$(mktemp -d "$cache/build-$arch.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"

# Runs a build step with its output in a log, shown only when the step fails.
quietly() {
  local log=$work/step.log
  if ! "$@" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "failed: $*" >&2
    exit 1
  fi
}

# Builds with CMake from source directory $1 and installs into the prefix; more flags follow.
cmake_build() {
  local source=$1 build=$work/build-$(basename "$1")
  shift
  quietly cmake -S "$source" -B "$build" --toolchain "$here/$arch.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${cmake_flags[@]}" "$@"
  quietly cmake --build "$build" --parallel "$jobs"
  quietly cmake --install "$build"
}

started=$SECONDS
step_started=$SECONDS
took() { echo "  $1: $((SECONDS - step_started)) s"; step_started=$SECONDS; }
echo "Cross-building the libraries for $arch into $prefix"

# libmpg123 only (not the player or its output library).
unpack_source mpg123 "$work/mpg123"
(
  cd "$work/mpg123"
  quietly ./configure --host="$triple" --prefix="$prefix" CC="$triple-gcc-posix" "${mpg123_flags[@]}"
  quietly make -j"$jobs" src/libmpg123/libmpg123.la
)
install -m 644 "$work/mpg123/src/libmpg123/.libs/libmpg123.a" "$prefix/lib/"
install -m 644 "$work/mpg123/src/libmpg123/mpg123.h" "$work/mpg123/src/libmpg123/fmt123.h" "$prefix/include/"
install -m 644 "$work/mpg123/libmpg123.pc" "$prefix/lib/pkgconfig/"
took libmpg123

unpack_source libsdl2 "$work/sdl2"
cmake_build "$work/sdl2" "${sdl2_flags[@]}"
took SDL2

unpack_source kissfft "$work/kissfft"
cmake_build "$work/kissfft" "${kissfft_flags[@]}"
took KissFFT

cmake_build /usr/src/googletest "${gtest_flags[@]}"
took GoogleTest

for pc in "$prefix"/lib/pkgconfig/*.pc; do
  make_pkg_config_static "$pc"
done
echo "$recipe" >"$prefix/recipe.txt"
touch "$prefix/.complete"
echo "Libraries for $arch built in $((SECONDS - started)) s"
echo "$prefix"
