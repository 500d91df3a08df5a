#!/usr/bin/env bash
# Starts an installed bixo through its launcher, from a folder of its own, with SDL's dummy audio
# driver and no terminal; once the story begins (the music is loaded just before), ends it with
# Ctrl-C's signal. Fails unless the show found its music (no error message at all), wrote nothing
# on standard error and ended with Ctrl-C's status, 130.
#   bash tools/package/run_installed.sh LAUNCHER
set -euo pipefail
launcher=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

fail() {
  echo "FAIL: $1" >&2
  echo "--- standard output:" >&2
  cat output.txt >&2
  echo "--- standard error:" >&2
  cat errors.txt >&2
  exit 1
}

# A job of its own: a background job without job control would ignore SIGINT.
set -m
started=$SECONDS
SDL_AUDIODRIVER=dummy "$launcher" </dev/null >output.txt 2>errors.txt &
show=$!
set +m
# The opening lasts 12 s; at real speed, so allow a loaded machine plenty.
until grep -q "Meet" output.txt; do
  if ! kill -0 "$show" 2>/dev/null || ((SECONDS - started > 40)); then
    fail "the story did not begin"
  fi
  sleep 0.2
done
kill -INT "$show"
status=0
wait "$show" || status=$?

grep -q "We proudly present" output.txt || fail "the opening is missing"
if grep -q -i "error" output.txt; then
  fail "the show reported an error (its music not found?)"
fi
[ -s errors.txt ] && fail "something was written on standard error"
[ "$status" -eq 130 ] || fail "Ctrl-C ended it with status $status, not 130"
echo "ok: $launcher started from $scratch, found its music and ended by Ctrl-C (130) after $((SECONDS - started)) s"
