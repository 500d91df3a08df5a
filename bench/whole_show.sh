#!/usr/bin/env bash
# The whole show, start to final key, in a pseudo-terminal 80 columns wide with the music on SDL's
# dummy driver, measured with /usr/bin/time -v. Goals: CPU time (user + sys) at most 1% of the
# wall time, peak memory (maximum resident set) at most 40 MiB. Prints both figures and the
# verdict; exits 1 on FAIL.
#   bash bench/whole_show.sh [build-dir]          (default: build-bench beside bench/)
#   bash bench/whole_show.sh --verdict REPORT     (judges a saved `time -v` report only)
set -euo pipefail

max_cpu_percent=1
max_memory_mib=40

# Reads a `/usr/bin/time -v` report and prints the CPU share, the peak memory and the verdict.
# Returns 1 on FAIL, also when the report lacks a figure or the program did not exit with 0.
verdict() {
  awk -v max_cpu="$max_cpu_percent" -v max_mib="$max_memory_mib" '
    # Each figure follows the last ": " of its line.
    function figure(line) { sub(/.*: /, "", line); return line }
    /User time \(seconds\):/   { user = figure($0); found++ }
    /System time \(seconds\):/ { sys = figure($0); found++ }
    /Elapsed \(wall clock\)/ {
      # h:mm:ss or m:ss, seconds with decimals
      parts = split(figure($0), clock, ":"); wall = 0
      for (i = 1; i <= parts; i++) wall = wall * 60 + clock[i]
      found++
    }
    /Maximum resident set size \(kbytes\):/ { rss_kb = figure($0); found++ }
    /Exit status:/ { status = figure($0); found++ }
    END {
      if (found != 5 || wall <= 0) { print "the report lacks figures: FAIL"; exit 1 }
      cpu = user + sys; percent = 100 * cpu / wall; mib = rss_kb / 1024
      printf "CPU time: %.2f s (user %.2f + sys %.2f) of %.2f s wall = %.3f%% (goal <= %s%%)\n", cpu, user, sys, wall, percent, max_cpu
      printf "Peak memory: %.1f MiB (%d kB maximum resident set) (goal <= %s MiB)\n", mib, rss_kb, max_mib
      ok = 1
      if (status != 0) { printf "bixo exited with status %s\n", status; ok = 0 }
      if (percent > max_cpu) ok = 0
      if (mib > max_mib) ok = 0
      print (ok ? "PASS" : "FAIL")
      exit (ok ? 0 : 1)
    }' "$1"
}

if [ "${1:-}" = "--verdict" ]; then
  verdict "$2"
  exit
fi

build_dir=${1:-"$(dirname "$0")/../build-bench"}
cd "$build_dir"
if [ ! -x ./bixo ] || [ ! -f ./bixo.mp3 ]; then
  echo "no bixo and bixo.mp3 in $PWD: build first (cmake --build $build_dir)" >&2
  exit 2
fi

report=$(mktemp)
screen=$(mktemp)
trap 'rm -f "$report" "$screen"' EXIT

# expect gives the show its terminal and presses a key at the final prompt. The program drops keys
# typed before it starts waiting, so the key is sent after a moment and again until it ends.
export BIXO_TIME_REPORT="$report" BIXO_SCREEN="$screen" SDL_AUDIODRIVER=dummy
if ! expect -c '
  log_user 0
  log_file -a -noappend $env(BIXO_SCREEN)  ;# -a: log the show though log_user hides it
  set stty_init "rows 25 columns 80"
  set timeout 400
  spawn /usr/bin/time -v -o $env(BIXO_TIME_REPORT) ./bixo
  expect {
    "Press any key to continue . . . " {}
    timeout { puts stderr "no key prompt after $timeout s"; exit 1 }
    eof     { puts stderr "bixo ended before its key prompt"; exit 1 }
  }
  sleep 0.5
  send " "
  set timeout 2
  set presses 1
  expect {
    eof {}
    timeout {
      if {[incr presses] > 10} { puts stderr "bixo ignores the key"; exit 1 }
      send " "
      exp_continue
    }
  }
  wait
'; then
  echo "the show did not run to its end: FAIL"
  exit 1
fi

# Figures from a show without music would flatter it.
if grep -aio "BASS error[^[:cntrl:]]*" "$screen"; then
  echo "the music did not play: FAIL"
  exit 1
fi
verdict "$report"
