#!/usr/bin/env bash
# The Debian package: it builds, unpacks into a scratch root with the files
# where they belong, and the game started as its desktop entry says (its
# command, in its working directory) opens its window, plays and exits 0.
# As root (as in CI) it is also installed on the machine with apt-get,
# started from there, and removed, leaving nothing behind.
#
# Usage: install_test.sh SOURCE_FOLDER XPROBE
set -u
source_folder=$1
xprobe=$2
scenario=package_install
program=/nonexistent   # set from the desktop entry below
pictures=$source_folder/game/pictures
source "$source_folder/tests/e2e/x_session.sh"

deb=$(bash "$source_folder/tools/package.sh" 2>"$work/package.log" | tail -n1)
if [ ! -f "$deb" ]; then
  fail "no package was built"
  tail -n 20 "$work/package.log"
  report
fi
note "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libsdl2-2.0-0' <<<"$depends" || fail "the package does not depend on the SDL2 library: $depends"
grep -q -- '-dev' <<<"$depends" && fail "the package depends on a -dev package: $depends"

# Reads KEY of the desktop entry in ROOT.
entry_value() {
  sed -n "s/^$2=//p" "$1/usr/share/applications/paddleball.desktop"
}

# Starts the game as the entry in ROOT says and checks that it shows its
# paddle and ends with status 0.
play_from_entry() {
  local root=$1 exec path
  exec=$(entry_value "$root" Exec)
  path=$(entry_value "$root" Path)
  [ -n "$exec" ] && [ -n "$path" ] || { fail "desktop entry without Exec or Path"; return; }
  [ -d "$root$path" ] || { fail "the entry's working directory $path is missing"; return; }
  (cd "$root$path" && exec "$root$exec" </dev/null >"$work/out" 2>"$work/err") &
  game_pid=$!
  find_window || return
  local seen
  seen=$("$xprobe" wait-pixel "$window" 202 300 FFFFFF 10000)
  [ "${seen%% *}" = shown ] || fail "the installed game never showed its paddle ($seen)"
  wait_game 60
  [ "$game_status" -eq 0 ] || fail "the installed game exited with $game_status"
  check_quiet
}

start_x 1280x1024

# In a scratch root.
root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/paddleball usr/share/applications/paddleball.desktop \
  usr/share/icons/hicolor/scalable/apps/paddleball.svg \
  usr/share/paddleball/{penis,ball,black,black2}.bmp; do
  [ -e "$root/$file" ] || fail "the package lacks /$file"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/paddleball.desktop" || fail "invalid desktop entry"
fi
play_from_entry "$root"

# On the machine itself, where that is allowed.
if [ "$(id -u)" -eq 0 ] && [ "${CI:-}" = true ] && ! dpkg -s paddleball >/dev/null 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
    { fail "apt-get install failed"; tail -n 20 "$work/apt.log"; }
  mapfile -t installed < <(dpkg -L paddleball | while read -r f; do [ -f "$f" ] && echo "$f"; done)
  play_from_entry ""
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -q --purge paddleball >>"$work/apt.log" 2>&1 ||
    fail "apt-get remove failed"
  for file in "${installed[@]}"; do
    [ -e "$file" ] && fail "$file is left after removal"
  done
  note "installed ${#installed[@]} files with apt-get, played, removed"
else
  note "not installed on this machine (needs root, CI=true and no paddleball installed)"
fi
report
