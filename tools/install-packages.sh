#!/usr/bin/env bash
# Installs the Debian packages that are missing from the list given, with
# apt-get, through sudo when not root.
# Usage: tools/install-packages.sh PACKAGE...
set -euo pipefail
missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing ${missing[*]}" >&2
$sudo apt-get update -q >&2
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
