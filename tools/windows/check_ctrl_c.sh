#!/usr/bin/env bash
# Ctrl-C on the Windows program under wine64, which turns SIGINT into the console's Ctrl-C
# event: pressed while the story is typed and the music plays, it must end bixo.exe with the
# exit code Windows gives a program ended by Ctrl-C (0xC000013A, of which Linux sees the low
# byte, 58) and nothing on standard error. bixo's handler keeps Windows from ending the program
# itself, so a show that missed the request would type on: still running 10 s later, it fails.
#   bash tools/windows/check_ctrl_c.sh [windows-build-dir]    (default: build-windows-x86_64)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-windows-x86_64}" && pwd)
ctrl_c_status=$((0xC000013A & 0xFF))

scratch=$(mktemp -d)
cp "$build/bixo.exe" "$build/bixo.mp3" "$scratch/"
cd "$scratch"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=music.raw \
  bash "$root/tools/windows/wine.sh" x86_64 bixo.exe </dev/null >text 2>errors &
show=$!  # wine.sh becomes the program's own process
trap '{ kill -9 "$show" && wait "$show"; } 2>/dev/null; rm -rf "$scratch"' EXIT

# Polls `condition` every 0.1 s for up to $1 seconds.
wait_for() {
  local tenths=$(($1 * 10))
  shift
  while ! "$@"; do
    tenths=$((tenths - 1))
    [ "$tenths" -gt 0 ] || return 1
    sleep 0.1
  done
}
story_is_typed() { grep -q "Meet our" text; }
show_has_ended() { ! kill -0 "$show" 2>/dev/null; }

if ! wait_for 60 story_is_typed; then
  echo "FAIL: the story did not begin within 60 s"
  exit 1
fi
sleep 1
started=$(date +%s%N)
kill -INT "$show"
if ! wait_for 10 show_has_ended; then
  echo "FAIL: bixo.exe still runs 10 s after Ctrl-C"
  exit 1
fi
took_ms=$((($(date +%s%N) - started) / 1000000))
status=0
wait "$show" || status=$?

failures=0
[ "$status" -eq "$ctrl_c_status" ] || { echo "FAIL: exit status $status, not $ctrl_c_status (Ctrl-C's)"; failures=1; }
[ ! -s errors ] || { echo "FAIL: standard error: $(head -c 500 errors)"; failures=1; }
if [ "$failures" -ne 0 ]; then
  echo "Ctrl-C under wine: FAIL"
  exit 1
fi
echo "Ctrl-C under wine: bixo.exe ended $took_ms ms after it with Ctrl-C's status, quietly: PASS"
