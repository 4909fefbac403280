#!/usr/bin/env bash
# Builds the Debian package of paddleball (installing under /usr) into build-deb/.
# Usage: tools/package.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-packages.sh" cmake make g++ libsdl2-dev dpkg-dev
cmake -S "$top" -B "$top/build-deb" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DPADDLEBALL_TESTS=OFF -DPADDLEBALL_BENCHMARKS=OFF >&2
cmake --build "$top/build-deb" -j"$(nproc)" >&2
(cd "$top/build-deb" && cpack -G DEB >&2)
ls "$top"/build-deb/paddleball_*.deb
