#!/usr/bin/env bash
# Tests the Windows build (made by tools/windows/build.sh) under wine: the whole suite of the
# 64-bit build under wine64; the 32-bit build's suite where this machine starts 32-bit Windows
# programs (it says so plainly where it cannot); Ctrl-C on the real program
# (tools/windows/check_ctrl_c.sh); and one whole show through pipes (tools/windows/check_show.sh,
# run meanwhile), its text compared with the Linux build's.
#   bash tools/windows/test.sh [linux-build-dir]    (default: build, beside tools/)
set -euo pipefail
cd "$(dirname "$0")/../.."
linux_build=${1:-build}

show_report=$(mktemp)
trap 'rm -f "$show_report"' EXIT
# The show mostly waits between characters: it runs while the suites do.
bash tools/windows/check_show.sh build-windows-x86_64 "$linux_build" >"$show_report" 2>&1 &
show_check=$!

# Runs one build's suite. Under wine a test process now and then ends at its very start, in a
# few hundredths of a second and without a word, whichever test it is (about one full run in
# ten); a second run of just that test tells such a hiccup from a real fault, and the output
# shows both runs.
run_suite() {
  ctest --test-dir "$1" --output-on-failure --parallel 2 --no-label-summary --repeat until-pass:2
}

failed=0
echo "-- x86_64 tests under wine64"
run_suite build-windows-x86_64 || failed=1

echo "-- Ctrl-C under wine64"
# Wine delivers the console's Ctrl-C through its own server; on a busy machine it once ended the
# program with SIGKILL instead. A second try tells such a hiccup from a real fault, and says so.
if ! bash tools/windows/check_ctrl_c.sh; then
  echo "Ctrl-C under wine failed once; trying again"
  bash tools/windows/check_ctrl_c.sh || failed=1
fi

echo "-- i686 tests"
probe=build-windows-i686/tests/pictures_test.exe
if [ ! -x /usr/lib/wine/wine ]; then
  echo "i686 tests NOT RUN: the 32-bit wine loader (package wine32:i386) is not installed"
elif ! why=$(bash tools/windows/wine.sh i686 "$probe" --gtest_list_tests 2>&1 >/dev/null); then
  echo "i686 tests NOT RUN: this machine does not start 32-bit Windows programs (${why%%$'\n'*})"
else
  run_suite build-windows-i686 || failed=1
fi

echo "-- The whole show under wine64"
wait "$show_check" || failed=1
cat "$show_report"
exit $failed
