#!/usr/bin/env bash
# Checks whole_show.sh's verdict on made-up `/usr/bin/time -v` reports: both wall-clock forms,
# each goal on its own, a failed run and a report with figures missing.
#   bash bench/whole_show_test.sh
set -uo pipefail

script="$(dirname "$0")/whole_show.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

# Writes a report laid out as GNU time -v lays it out: user, sys, wall, max RSS (kB), exit status.
report() {
  printf '\tCommand being timed: "./bixo"\n'
  printf '\tUser time (seconds): %s\n\tSystem time (seconds): %s\n' "$1" "$2"
  printf '\tPercent of CPU this job got: 0%%\n'
  printf '\tElapsed (wall clock) time (h:mm:ss or m:ss): %s\n' "$3"
  printf '\tMaximum resident set size (kbytes): %s\n' "$4"
  printf '\tExit status: %s\n' "$5"
}

# check NAME EXPECTED_EXIT PATTERN... : runs the verdict on $work/report and greps each pattern.
check() {
  local name=$1 expected_exit=$2 output actual_exit
  shift 2
  output=$(bash "$script" --verdict "$work/report")
  actual_exit=$?
  local ok=1
  [ "$actual_exit" -eq "$expected_exit" ] || ok=0
  for pattern in "$@"; do
    grep -qF -- "$pattern" <<<"$output" || ok=0
  done
  if [ $ok -eq 1 ]; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAILED: $name (exit $actual_exit, wanted $expected_exit)"
    echo "$output"
  fi
}

report 0.40 0.35 2:30.00 30000 0 >"$work/report"
check "within both goals" 0 "CPU time: 0.75 s" "of 150.00 s wall = 0.500%" "Peak memory: 29.3 MiB" "PASS"

report 1.20 0.40 2:30.00 30000 0 >"$work/report"
check "CPU over 1% of the wall time" 1 "= 1.067%" "FAIL"

report 0.10 0.10 2:30.00 41984 0 >"$work/report"
check "memory over 40 MiB" 1 "Peak memory: 41.0 MiB" "FAIL"

report 0.10 0.10 2:30.00 40960 0 >"$work/report"
check "exactly 40 MiB still passes" 0 "Peak memory: 40.0 MiB" "PASS"

report 20.00 10.00 1:02:30.00 20000 0 >"$work/report"
check "hours in the wall time" 0 "of 3750.00 s wall = 0.800%" "PASS"

report 0.10 0.10 2:30.00 20000 130 >"$work/report"
check "a run that did not end well" 1 "bixo exited with status 130" "FAIL"

report 0.10 0.10 2:30.00 20000 0 | grep -v 'Maximum resident' >"$work/report"
check "a figure missing" 1 "the report lacks figures: FAIL"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
