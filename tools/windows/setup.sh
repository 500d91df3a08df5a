#!/usr/bin/env bash
# Installs what the Windows cross-build needs: the mingw-w64 compilers (POSIX thread model, for
# std::thread), wine to run the 64-bit tests, and the tools that fetch and unpack Debian's source
# packages. Adds deb-src entries beside the system's Debian entries (same mirrors and suites) when
# apt knows no source packages yet. Quick when everything is there: apt is asked only for what is
# missing.
#   bash tools/windows/setup.sh
#   bash tools/windows/setup.sh --deb-src-for FILE...   (only prints the entries it would add)
set -euo pipefail

packages=(
  cmake make pkg-config patch bzip2 xz-utils file dpkg-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine wine64
  libgtest-dev
  python3 python3-numpy  # the whole-show check reads the recorded music
)
source_list=/etc/apt/sources.list.d/bixo-deb-src.sources

sudo_if_needed=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_if_needed=(sudo)
fi

# Prints a deb-src stanza for every binary entry of Debian's archive in the apt source files
# given, in either format apt reads: one-line (*.list) or deb822 (*.sources).
debian_source_entries() {
  for file in "$@"; do
    [ -f "$file" ] || continue
    case "$file" in
      *.sources)
        # Stanzas are separated by blank lines; comments and disabled stanzas are left out.
        awk 'BEGIN { RS = ""; FS = "\n" }
          {
            binary = 0; debian = 0; disabled = 0; text = ""
            for (i = 1; i <= NF; i++) {
              if ($i ~ /^#/) continue
              if ($i ~ /^Types:/ && $i ~ /[[:space:]]deb([[:space:]]|$)/) binary = 1
              if ($i ~ /^URIs:/ && $i ~ /debian\.org/) debian = 1
              if ($i ~ /^Enabled:[[:space:]]*no/) disabled = 1
              line = $i
              if (line ~ /^Types:/) line = "Types: deb-src"
              text = text line "\n"
            }
            if (binary && debian && !disabled) printf "%s\n", text
          }' "$file"
        ;;
      *)
        # deb [options] URI suite components...
        awk '$1 == "deb" && /debian\.org/ {
          sub(/^deb /, ""); n = split($0, f, " "); start = 1
          if (f[1] ~ /^\[/) { while (f[start] !~ /\]$/) start++; start++ }
          printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", f[start], f[start + 1]
          for (i = start + 2; i <= n; i++) printf " %s", f[i]
          printf "\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n"
        }' "$file"
        ;;
    esac
  done
}

# For tools/windows/tools_test.sh: the stanzas made from the files given, nothing installed.
if [ "${1:-}" = "--deb-src-for" ]; then
  shift
  debian_source_entries "$@"
  exit 0
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

export DEBIAN_FRONTEND=noninteractive
updated=false
if [ -z "$(apt-cache showsrc mpg123 2>/dev/null)" ]; then
  echo "Adding deb-src entries: $source_list"
  system_lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  debian_source_entries "${system_lists[@]}" | "${sudo_if_needed[@]}" tee "$source_list" >/dev/null
  "${sudo_if_needed[@]}" apt-get update -qq
  updated=true
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $updated || "${sudo_if_needed[@]}" apt-get update -qq
  "${sudo_if_needed[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
