#!/usr/bin/env bash
# Runs the whole show once under wine64 through pipes, its music going to a file through SDL's
# disk driver, and checks what a Windows user would get: exit status 0, nothing on standard
# error, the show's text byte for byte as the Linux build types it (once each "\r\n" is "\n"),
# the key prompt at the end, and at least 60 s of audible music recorded. The Linux build runs
# the show beside it for the text to compare with. Takes about as long as the show (~2.5 min).
#   bash tools/windows/check_show.sh [windows-build-dir] [linux-build-dir]
#     (defaults: build-windows-x86_64 and build, beside tools/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
windows_build=$(cd "${1:-$root/build-windows-x86_64}" && pwd)
linux_build=$(cd "${2:-$root/build}" && pwd)
min_audible_seconds=60

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/windows" "$scratch/linux"
cp "$windows_build/bixo.exe" "$windows_build/bixo.mp3" "$scratch/windows/"
cp "$linux_build/bixo.mp3" "$scratch/linux/"

# Both shows at once, each in its own folder, where it finds bixo.mp3; no key is ever pressed:
# standard input is empty, so the final wait ends at once.
(cd "$scratch/linux" && SDL_AUDIODRIVER=dummy "$linux_build/bixo" </dev/null >text 2>/dev/null) &
linux_show=$!
set +e
(cd "$scratch/windows" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=music.raw \
  bash "$root/tools/windows/wine.sh" x86_64 bixo.exe </dev/null >text 2>errors)
status=$?
set -e
wait "$linux_show" || { echo "the Linux build's show failed" >&2; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ "$status" -eq 0 ] || fail "bixo.exe exited with status $status"
if [ -s "$scratch/windows/errors" ]; then
  fail "bixo.exe wrote to standard error:"
  head -c 2000 "$scratch/windows/errors"
fi

# The text up to the key prompt must match; the prompt itself is the system's own ("PAUSE").
prompt="Press any key to continue"
/usr/bin/python3 - "$scratch/linux/text" "$scratch/windows/text" "$prompt" <<'PY' || failures=$((failures + 1))
import sys
linux = open(sys.argv[1], "rb").read()
windows = open(sys.argv[2], "rb").read()
prompt = sys.argv[3].encode()
if b"\r\n" not in windows or b"\r\r\n" in windows:
    print("FAIL: lines on Windows must end in \\r\\n, each \\n once")
    sys.exit(1)
windows = windows.replace(b"\r\n", b"\n")
show_linux, _, _ = linux.rpartition(prompt)
show_windows, _, prompt_windows = windows.rpartition(prompt)
if not show_windows or not show_linux:
    print("FAIL: no key prompt in the %s output" % ("Windows" if not show_windows else "Linux"))
    sys.exit(1)
if show_windows != show_linux:
    at = next((i for i, (a, b) in enumerate(zip(show_windows, show_linux)) if a != b), min(len(show_windows), len(show_linux)))
    print("FAIL: the show's text differs from the Linux build's at byte %d of %d/%d: %r against %r"
          % (at, len(show_windows), len(show_linux), show_windows[at:at + 40], show_linux[at:at + 40]))
    sys.exit(1)
print("The show's text: %d bytes, as on Linux; then the prompt %r" % (len(show_windows), (prompt + prompt_windows).decode()))
PY

# Music: 44.1 kHz 16-bit stereo from the disk driver; a tenth of a second counts as audible when
# its loudness is above -40 dBFS.
/usr/bin/python3 - "$scratch/windows/music.raw" "$min_audible_seconds" <<'PY' || failures=$((failures + 1))
import sys
import numpy
samples = numpy.fromfile(sys.argv[1], dtype="<i2").astype(numpy.float64) / 32768
window = 4410 * 2
windows = samples[: len(samples) // window * window].reshape(-1, window)
loudness = numpy.sqrt((windows ** 2).mean(axis=1))
audible = (loudness > 0.01).sum() / 10
recorded = len(samples) / 2 / 44100
if audible < float(sys.argv[2]):
    print("FAIL: %.1f s of audible music in %.1f s recorded (at least %s s expected)" % (audible, recorded, sys.argv[2]))
    sys.exit(1)
print("Music: %.1f s audible in %.1f s recorded" % (audible, recorded))
PY

if [ "$failures" -ne 0 ]; then
  echo "The show under wine: FAIL"
  exit 1
fi
echo "The show under wine: exit 0, standard error empty, text as on Linux, prompt, music: PASS"
