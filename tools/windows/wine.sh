#!/usr/bin/env bash
# Runs a Windows program under wine, headless and quiet, in a wine prefix of bixo's own (made on
# first use). The exit status is the program's. The 32-bit loader exists only where wine32 is
# installed, and starts only where the machine runs 32-bit code.
#   bash tools/windows/wine.sh x86_64|i686 program.exe [arguments...]
set -euo pipefail

case "${1:-}" in
  x86_64) loader=/usr/lib/wine/wine64 ;;
  i686) loader=/usr/lib/wine/wine ;;
  *) echo "usage: bash tools/windows/wine.sh x86_64|i686 program.exe [arguments...]" >&2; exit 2 ;;
esac
shift

export WINEPREFIX=${WINEPREFIX:-${BIXO_WINDOWS_CACHE:-$HOME/.cache/bixo-windows}/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offers to install .NET or a browser engine
unset DISPLAY WAYLAND_DISPLAY              # console programs need no windows

if [ ! -x "$loader" ]; then
  echo "wine.sh: no wine loader at $loader" >&2
  exit 127
fi

# The first start makes the prefix (several seconds); tests started side by side must not all
# make it at once.
ready="$WINEPREFIX/.bixo-ready"
if [ ! -f "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1 9>&-
      /usr/lib/wine/wineserver64 -w  # the prefix's files are complete once the server has ended
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX/.lock"
fi

# The first program of a session starts the wine server and wine's own services (services.exe
# and the like), which inherit its standard output and error and keep them open long after it
# ends: whoever reads them to their end (ctest, a pipe) would wait for them. So a session starts
# here, away from that output; the server ends 10 s after the last program.
(
  flock 9
  # 9>&-: the server and the services must not hold the lock as well.
  if /usr/lib/wine/wineserver64 --persistent=10 </dev/null >/dev/null 2>&1 9>&-; then
    /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi  # else a session runs already
) 9>"$WINEPREFIX/.lock"

exec "$loader" "$@"
