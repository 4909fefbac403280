#!/usr/bin/env bash
# Builds paddleball with warnings as errors and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" -DPADDLEBALL_WERROR=ON
cd "$top/build"
ctest --output-on-failure -j"$(nproc)"
