#!/usr/bin/env bash
# Installs what the build and the tests need and builds paddleball into build/
# at the top of the source tree.
# Usage: tools/setup.sh [extra CMake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# Build: compiler, CMake, SDL2, GoogleTest. Tests: an X server, a window
# manager and X tools to drive and photograph the real window; the Debian
# package tools; the formatter and the static checker.
"$top/tools/install-packages.sh" cmake make g++ pkg-config libsdl2-dev libgtest-dev \
  xvfb openbox xdotool wmctrl x11-utils imagemagick libx11-dev \
  dpkg-dev desktop-file-utils clang-format clang-tidy libbenchmark-dev

cmake -S "$top" -B "$top/build" "$@" >&2
cmake --build "$top/build" -j"$(nproc)" >&2
