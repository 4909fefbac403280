#!/bin/bash
# Runs the benchmark suite under a private Xvfb with openbox, so that the
# window cycles are measured on a real X server too, and prints the ratios.
#   bash bench/run.sh [build folder] [Google Benchmark options...]
set -euo pipefail
build=${1:-build}
shift || true
bench="$build/bench/paddleball_bench"
[ -x "$bench" ] || { echo "build first: cmake --build $build" >&2; exit 1; }

display_number=$((90 + RANDOM % 100))
while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x1024x24 -noreset >/dev/null 2>&1 &
xvfb=$!
openbox_pid=
cleanup() {
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display_number" ] && break; sleep 0.1; done
if command -v openbox >/dev/null; then
  DISPLAY=":$display_number" openbox >/dev/null 2>&1 &
  openbox_pid=$!
  sleep 0.5
fi
DISPLAY=":$display_number" "$bench" "$@"
