#!/usr/bin/env bash
# Plays a whole game on the null back-end: the program must run to its end,
# wait its final 5 seconds, write nothing and exit 0.
# Usage: null_run.sh PROGRAM PICTURES_FOLDER
set -u
program=$1
pictures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$pictures"/*.bmp "$work"/

cd "$work"
start=$(date +%s%N)
# Arguments are not read: they change nothing.
QZGFX=null "$program" --help -x 5 >"$work/out" 2>"$work/err" </dev/null
status=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))

fail=0
[ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; fail=1; }
[ -s "$work/out" ] && { echo "standard output not empty:"; head -c 300 "$work/out"; fail=1; }
[ -s "$work/err" ] && { echo "standard error not empty:"; head -c 300 "$work/err"; fail=1; }
# The final wait is 5000 ms; the game itself takes a few seconds at most.
if [ "$elapsed_ms" -lt 5000 ] || [ "$elapsed_ms" -gt 30000 ]; then
  echo "ran ${elapsed_ms} ms, expected the 5000 ms wait plus the game"
  fail=1
fi
echo "null back-end run: status $status, ${elapsed_ms} ms"
exit $fail
