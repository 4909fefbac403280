#!/usr/bin/env bash
# Builds paddleball with warnings as errors and runs the whole test suite.
# With --all, then also the sanitizer builds of the suite (tools/sanitize.sh)
# and each fuzz target for FUZZ_SECONDS (tools/fuzz.sh, 60 s by default).
# Usage: tools/test.sh [--all]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
all=false
[ "${1:-}" = --all ] && all=true
"$top/tools/setup.sh" -DPADDLEBALL_WERROR=ON
cd "$top/build"
ctest --output-on-failure -j"$(nproc)"
if $all; then
  "$top/tools/sanitize.sh"
  "$top/tools/fuzz.sh" "${FUZZ_SECONDS:-60}"
fi
