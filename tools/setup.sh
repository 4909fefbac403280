#!/usr/bin/env bash
# Installs what the build needs (Debian packages, through sudo when not root)
# and builds paddleball into build/ at the top of the source tree.
# Usage: tools/setup.sh [extra CMake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake make g++ libgtest-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing ${missing[*]}" >&2
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}" >&2
fi

cmake -S "$top" -B "$top/build" "$@" >&2
cmake --build "$top/build" -j"$(nproc)" >&2
