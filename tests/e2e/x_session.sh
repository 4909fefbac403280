# shellcheck shell=bash
# shellcheck disable=SC2015  # `test && test || fail` is meant as written
# Shared by the end-to-end runs: an X server of the test's own (Xvfb) with the
# openbox window manager, the game started in a folder holding its pictures,
# and helpers to find its window, wait for it and report failures.
#
# Source it after setting: program, pictures, xprobe, scenario (and test_name
# for the failure folder, when it differs from scenario). It defines
# `work` (a scratch folder) and cleans up everything it started on exit. A run
# that failed keeps its pictures in e2e-failures/SCENARIO under the current
# folder.

set -u

TITLE=paddleball
failures=0
xvfb_pid=""
wm_pid=""
game_pid=""
extra_pids=()
work=$(mktemp -d "${TMPDIR:-/tmp}/paddleball-e2e.XXXXXX")
mkdir -p "$work/run"
cp "$pictures"/*.bmp "$work/run/"

now_ms() {
  echo $(($(date +%s%N) / 1000000))
}

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

note() {
  echo "  $*"
}

# True while PID exists and has not ended (a zombie has ended).
alive() {
  local state
  state=$(sed -n 's/^.*) \(.\).*$/\1/p' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  if alive "$pid"; then
    kill "$pid" 2>/dev/null
    local _
    for _ in $(seq 50); do alive "$pid" || break; sleep 0.02; done
    alive "$pid" && kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}

finish() {
  local pid
  stop_pid "$game_pid"
  for pid in "${extra_pids[@]}"; do stop_pid "$pid"; done
  stop_pid "$wm_pid"
  stop_pid "$xvfb_pid"
  if [ "$failures" -gt 0 ]; then
    local keep="$PWD/e2e-failures/${test_name:-$scenario}"
    rm -rf "$keep"
    mkdir -p "$keep"
    cp "$work"/*.ppm "$work"/*.png "$work"/*.log "$work"/out "$work"/err "$keep"/ 2>/dev/null
    echo "pictures and logs kept in $keep"
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM HUP

# Polls COMMAND... every 20 ms until it succeeds; false after TIMEOUT_MS.
wait_until() {
  local timeout_ms=$1
  shift
  local deadline=$(($(now_ms) + timeout_ms))
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

wm_running() {
  timeout 10 wmctrl -m >/dev/null 2>&1
}

# Starts Xvfb on a free display with a screen of WIDTHxHEIGHT, then openbox.
start_x() {
  local size=$1
  Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  if ! wait_until 10000 test -s "$work/display"; then
    fail "Xvfb did not start"
    exit 1
  fi
  DISPLAY=":$(head -n1 "$work/display")"
  export DISPLAY
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  if ! wait_until 10000 wm_running; then
    fail "openbox did not start"
    exit 1
  fi
}

# Starts the game in the pictures' folder, with VARIABLE=VALUE settings.
start_game() {
  (cd "$work/run" && exec env -u QZGFX "$@" "$program" </dev/null >"$work/out" 2>"$work/err") &
  game_pid=$!
}

# The same, but the game stops itself before it starts: SIGCONT lets it go on.
start_game_stopped() {
  (kill -STOP "$BASHPID" && cd "$work/run" &&
    exec env -u QZGFX "$@" "$program" </dev/null >"$work/out" 2>"$work/err") &
  game_pid=$!
}

# Waits up to TIMEOUT_S for the game to end; sets game_status and game_end_ms.
wait_game() {
  local deadline=$(($(now_ms) + $1 * 1000))
  while alive "$game_pid"; do
    if [ "$(now_ms)" -gt "$deadline" ]; then
      fail "the game did not end within $1 s"
      kill -KILL "$game_pid" 2>/dev/null
      break
    fi
    sleep 0.01
  done
  game_end_ms=$(now_ms)
  wait "$game_pid"
  game_status=$?
  game_pid=""
}

# The ids of the viewable windows titled paddleball.
game_windows() {
  timeout 10 xdotool search --onlyvisible --name "^${TITLE}\$" 2>/dev/null
}

# Sets `window` to a viewable window titled paddleball other than EXCEPT.
find_window() {
  local except=${1:-none}
  local deadline=$(($(now_ms) + 10000))
  window=""
  while [ "$(now_ms)" -lt "$deadline" ]; do
    local id
    for id in $(game_windows); do
      if [ "$id" != "$except" ]; then
        window=$id
        return 0
      fi
    done
    alive "$game_pid" || break
    sleep 0.02
  done
  fail "no window titled $TITLE appeared"
  return 1
}

has_focus() {
  [ "$(timeout 10 xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# Waits until WINDOW has the input focus.
wait_focus() {
  wait_until 5000 has_focus "$1" ||
    fail "window $1 did not get the input focus (it is on $(timeout 10 xdotool getwindowfocus 2>&1))"
}

floor_half() {
  local v=$1
  if [ "$v" -ge 0 ]; then echo $((v / 2)); else echo $((-((-v + 1) / 2))); fi
}

# Field NAME of `xwininfo -id WINDOW` ("Width", "Absolute upper-left X", ...).
geometry() {
  timeout 10 xwininfo -id "$1" 2>/dev/null | sed -n "s/^ *$2: *//p"
}

# Parent of WINDOW in the window tree.
parent_of() {
  timeout 10 xwininfo -tree -id "$1" 2>/dev/null | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p'
}

root_window() {
  timeout 10 xwininfo -root 2>/dev/null | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p'
}

# True when WINDOW's outer frame is centred on the SCREEN_WIDTH x SCREEN_HEIGHT
# screen; says why not in `placement`.
is_centred() {
  local window=$1 screen_w=$2 screen_h=$3
  local extents left right top bottom x y outer_w outer_h want_x want_y
  extents=$(timeout 10 xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')
  IFS=', ' read -r left right top bottom <<<"$extents"
  if [ -z "${bottom:-}" ]; then
    placement="no _NET_FRAME_EXTENTS yet"
    return 1
  fi
  x=$(geometry "$window" "Absolute upper-left X")
  y=$(geometry "$window" "Absolute upper-left Y")
  outer_w=$((800 + left + right))
  outer_h=$((600 + top + bottom))
  want_x=$(floor_half $((screen_w - outer_w)))
  want_y=$(floor_half $((screen_h - outer_h)))
  placement="drawing area at ($x, $y), frame extents l=$left r=$right t=$top b=$bottom: outer ${outer_w}x${outer_h} at ($((x - left)), $((y - top))), expected at ($want_x, $want_y)"
  [ "$((x - left))" -eq "$want_x" ] && [ "$((y - top))" -eq "$want_y" ] || return 1
  # The frame the window manager made around it must be that rectangle too.
  local frame=$window parent root
  root=$(root_window)
  while parent=$(parent_of "$frame") && [ -n "$parent" ] && [ "$parent" != "$root" ]; do
    frame=$parent
  done
  if [ "$frame" != "$window" ]; then
    local fx fy fw fh
    fx=$(geometry "$frame" "Absolute upper-left X")
    fy=$(geometry "$frame" "Absolute upper-left Y")
    fw=$(geometry "$frame" "Width")
    fh=$(geometry "$frame" "Height")
    placement="$placement; frame window ${fw}x${fh} at ($fx, $fy)"
    [ "$fx" -eq "$want_x" ] && [ "$fy" -eq "$want_y" ] && [ "$fw" -eq "$outer_w" ] &&
      [ "$fh" -eq "$outer_h" ] || return 1
  fi
  return 0
}

# The window as the game must show it: titled paddleball, a drawing area of
# 800x600 that cannot be resized, centred on the screen.
check_window() {
  local window=$1 screen_w=$2 screen_h=$3
  local name net_name hints width height
  name=$(timeout 10 xprop -id "$window" WM_NAME 2>/dev/null)
  [ "$name" = "WM_NAME(STRING) = \"$TITLE\"" ] || fail "window title: $name"
  net_name=$(timeout 10 xprop -id "$window" _NET_WM_NAME 2>/dev/null)
  [ "$net_name" = "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ] || fail "window title: $net_name"
  width=$(geometry "$window" Width)
  height=$(geometry "$window" Height)
  [ "$width" = 800 ] && [ "$height" = 600 ] || fail "drawing area ${width}x${height}, expected 800x600"
  hints=$(timeout 10 xprop -id "$window" WM_NORMAL_HINTS 2>/dev/null)
  if ! grep -q "minimum size: 800 by 600" <<<"$hints" || ! grep -q "maximum size: 800 by 600" <<<"$hints"; then
    fail "window can be resized: $hints"
  fi
  if wait_until 3000 is_centred "$window" "$screen_w" "$screen_h"; then
    note "centred: $placement"
  else
    fail "window not centred: $placement"
  fi
}

# The program's output streams must both be empty.
check_quiet() {
  if [ -s "$work/out" ]; then fail "standard output not empty:"; head -c 500 "$work/out"; echo; fi
  if [ -s "$work/err" ]; then fail "standard error not empty:"; head -c 500 "$work/err"; echo; fi
}

# Writes the snapshot of WINDOW to NAME.ppm in the work folder.
snap() {
  "$xprobe" snap "$1" "$work/$2.ppm" >/dev/null
}

# The paddle's top row in snapshot NAME, or nothing (the reason goes to `paddle_problem`).
paddle_top() {
  local found
  found=$("$xprobe" paddle "$work/$1.ppm") && { echo "${found% *}"; return 0; }
  echo "$found" >"$work/paddle_problem"
  return 1
}

# Writes a picture of the pixels in which A.ppm and B.ppm differ, for a person to look at.
picture_difference() {
  /usr/bin/compare "$work/$1.ppm" "$work/$2.ppm" "$work/$1-vs-$2.png" >/dev/null 2>&1
  /usr/bin/convert "$work/$1.ppm" "$work/$1.png" >/dev/null 2>&1
  /usr/bin/convert "$work/$2.ppm" "$work/$2.png" >/dev/null 2>&1
  return 0
}

report() {
  if [ "$failures" -eq 0 ]; then
    echo "$scenario: passed"
    exit 0
  fi
  echo "$scenario: $failures failure(s)"
  exit 1
}
