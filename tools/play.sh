#!/usr/bin/env bash
# Builds paddleball and starts it in the folder that holds its pictures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" -DPADDLEBALL_WERROR=OFF
cd "$top/build"
exec ./paddleball
