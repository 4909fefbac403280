#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# shellcheck disable=SC2015  # `test && test || fail` is meant as written
# shellcheck disable=SC2317  # the scenarios are called by name
# End-to-end runs of the real program in an X server of their own: its window,
# what the window shows, the keys, the close request, the back-end names,
# Alt+Enter and the run without any display.
#
# Usage: window_run.sh SCENARIO PROGRAM PICTURES_FOLDER XPROBE ENDING_PICTURE [ARGUMENT]
#
# A whole game takes a few seconds when no key is held. Where a test needs the
# game to last while it looks around, it holds cursor up and cursor down
# together: the paddle stays where it is and every frame waits twice 1 ms, so
# the ball crawls until the keys are let go.
set -u
scenario=$1
program=$2
pictures=$3
xprobe=$4
ending_picture=$5
argument=${6:-}
test_name=$scenario${argument:+-$argument}
# shellcheck source=x_session.sh
source "$(dirname "$0")/x_session.sh"

LOSE_MESSAGE="YOU LOST, SUCKER!!!!!!!!!!"
PADDLE_RIGHT=202  # the paddle bar's right column
PADDLE_START_TOP=300

# --- pieces shared by the scenarios ---------------------------------------

# Waits until the game has drawn its paddle at the start position.
wait_paddle_drawn() {
  local seen
  seen=$("$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" "$PADDLE_START_TOP" FFFFFF 10000)
  [ "${seen%% *}" = shown ] || fail "the paddle never showed at row $PADDLE_START_TOP ($seen)"
}

# Starts watching WINDOW for the ending picture, in the background.
watch_ending() {
  "$ending_picture" "$work/ending.ppm" || fail "cannot make the expected ending picture"
  "$xprobe" wait-picture "$window" "$work/ending.ppm" 60000 "$work/last.ppm" \
    >"$work/ending_seen" 2>&1 &
  watcher_pid=$!
  extra_pids+=("$watcher_pid")
}

# Waits for the watcher. Sets ending_ms (when the message was first seen; for
# an ending too short to catch, the last look before it) and ending_how.
ending_result() {
  wait "$watcher_pid"
  local seen
  seen=$(cat "$work/ending_seen")
  ending_how=${seen%% *}
  ending_ms=""
  case $ending_how in
    shown | gone) ending_ms=$((${seen#* } / 1000000)) ;;
    *)
      fail "the window never showed the ending picture ($seen): see last.png against ending.png"
      picture_difference last ending
      ;;
  esac
}

# The ending must stay about 5 s: the game ends 4.5 to 7 s after the message
# first shows, after closing its window; status 0, nothing written.
check_long_ending() {
  ending_result
  if [ "$ending_how" = gone ]; then
    fail "the window went away without showing the ending picture: see last.png against ending.png"
    picture_difference last ending
    ending_ms=""
  fi
  if [ "$ending_how" = shown ]; then
    local gone
    gone=$("$xprobe" wait-gone "$window" "$game_pid" 15000)
    # Gone while the process still ran, or withdrawn by the program itself
    # (which it can only do before it ends, however quickly it ends then).
    note "window: $gone"
    case $gone in
      "gone "*" running "* | "gone "*" withdrawn") ;;
      "gone "*) fail "the window was still there when the process ended" ;;
      *) fail "the window did not go away ($gone)" ;;
    esac
  fi
  wait_game 20
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  if [ -n "$ending_ms" ]; then
    local shown_ms=$((game_end_ms - ending_ms))
    note "the message showed for $shown_ms ms"
    [ "$shown_ms" -ge 4500 ] && [ "$shown_ms" -le 7000 ] ||
      fail "the game ended $shown_ms ms after the message showed, expected about 5000"
  fi
  check_quiet
}

# After a key press the ending is cut short: the game ends within a second of
# the message reaching the window.
check_short_ending() {
  ending_result
  wait_game 60
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  if [ -n "$ending_ms" ]; then
    local shown_ms=$((game_end_ms - ending_ms))
    note "the game ended $shown_ms ms after the message reached the window ($ending_how)"
    [ "$shown_ms" -le 1000 ] ||
      fail "the game ended $shown_ms ms after the message showed, expected the wait cut short"
  fi
  check_quiet
}

# Holds cursor up and down: the paddle stays, the ball crawls.
hold_both() {
  timeout 10 xdotool keydown --delay 0 Up Down
}

release_both() {
  timeout 10 xdotool keyup --delay 0 Up Down
}

# The game must be on show in WINDOW: the paddle with its top within 2 rows of
# EXPECTED_TOP (it moves a little while the two keys go down one after the other).
# Sets shown_top.
check_game_shown() {
  local name=$1 expected=$2 top
  shown_top=$expected
  "$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" $((expected + 10)) FFFFFF 3000 >/dev/null
  snap "$window" "$name" || { fail "cannot read the window for $name"; return; }
  if top=$(paddle_top "$name"); then
    note "$name: the paddle's top is at row $top"
    shown_top=$top
    [ "$top" -ge $((expected - 2)) ] && [ "$top" -le $((expected + 2)) ] ||
      fail "$name: the paddle's top is at row $top, expected $expected"
  else
    fail "$name: the game is not on show: $(cat "$work/paddle_problem")"
    /usr/bin/convert "$work/$name.ppm" "$work/$name.png" >/dev/null 2>&1
  fi
}

# After Alt+Enter: the new window shows the game where it was, and the keys
# work in it. Keys held from before the switch count only once pressed anew,
# and the game reads the keyboard again only once the new window has become
# active: so let go of both, hold cursor up until the paddle moves, then hold
# both again. Sets paddle_before to where the paddle then stands.
check_after_switch() {
  local name=$1 moved
  check_game_shown "$name" "$paddle_before"
  release_both
  timeout 10 xdotool keydown Up
  moved=$("$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" $((shown_top - 1)) FFFFFF 3000)
  [ "${moved%% *}" = shown ] || fail "$name: cursor up does not move the paddle ($moved)"
  timeout 10 xdotool keydown Down
  wait_paddle_rest "$name-keys" 2000
  case $? in
    0) paddle_before=$rest_top ;;
    1) fail "$name: the paddle does not stay with both keys held (row $rest_top)" ;;
    2) fail "$name: $(cat "$work/paddle_problem")" ;;
  esac
}

# Holds both keys and sets paddle_before to where the paddle then rests.
slow_down() {
  hold_both
  wait_paddle_rest before_switch 2000
  case $? in
    0) paddle_before=$rest_top ;;
    1) fail "the paddle does not stay with both keys held (row $rest_top)" ;;
    2) fail "before Alt+Enter: $(cat "$work/paddle_problem")" ;;
  esac
}

# Waits up to TIMEOUT_MS until two snapshots (NAME1, NAME2, ...) taken 50 ms
# apart show the paddle at the same row, or one row apart (with both keys held
# a frame may be shown between its two key steps); sets rest_top. Returns 1
# when it kept moving, 2 when a snapshot shows no paddle (see paddle_problem).
wait_paddle_rest() {
  local name=$1 timeout_ms=$2 previous="" top n=0
  local deadline=$(($(now_ms) + timeout_ms))
  while :; do
    n=$((n + 1))
    snap "$window" "$name$n" && top=$(paddle_top "$name$n") || return 2
    if [ -n "$previous" ] && [ "$top" -ge $((previous - 1)) ] && [ "$top" -le $((previous + 1)) ]; then
      rest_top=$top
      return 0
    fi
    [ "$(now_ms)" -lt "$deadline" ] || { rest_top=$top; return 1; }
    previous=$top
    sleep 0.05
  done
}

full_screen_state() {
  timeout 10 xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN
}

# Sets `window` to a viewable game window other than EXCEPT in the given
# state (full or window).
wait_game_window_in() {
  local want=$1 except=$2 deadline=$(($(now_ms) + 5000)) id
  while [ "$(now_ms)" -lt "$deadline" ]; do
    for id in $(game_windows); do
      [ "$id" != "$except" ] || continue
      if { [ "$want" = full ] && full_screen_state "$id"; } ||
        { [ "$want" = window ] && ! full_screen_state "$id"; }; then
        window=$id
        return 0
      fi
    done
    sleep 0.02
  done
  fail "no new game window in state '$want' appeared (windows: $(game_windows | tr '\n' ' '))"
  return 1
}

# --- the scenarios ----------------------------------------------------------

# The window: title, size, fixed size, centred. Ends the game with a key.
scenario_window_frame() {
  start_x 1280x1024
  start_game
  find_window || return
  check_window "$window" 1280 1024
  [ "$(game_windows | wc -l)" -eq 1 ] || fail "more than one window: $(game_windows | tr '\n' ' ')"
  wait_focus "$window"
  timeout 10 xdotool key Up
  wait_game 60
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  check_quiet
}

# A game without any key: the exact ending picture for about 5 s. ARGUMENT,
# when given, is the QZGFX setting.
scenario_ending() {
  start_x 1280x1024
  if [ -n "$argument" ]; then start_game QZGFX="$argument"; else start_game; fi
  find_window || return
  watch_ending
  check_window "$window" 1280 1024
  check_long_ending
}

# QZGFX=null: no window at all, the full final wait, nothing written.
scenario_null_backend() {
  start_x 1280x1024
  local start_ms windows
  start_game_stopped QZGFX=null
  local seen
  seen=$("$xprobe" no-windows "$game_pid" 40000)
  start_ms=$(($(sed -n 's/^continued //p' <<<"$seen") / 1000000))
  windows=$(grep -v '^continued ' <<<"$seen")
  [ -z "$windows" ] || fail "windows appeared: $(tr '\n' ' ' <<<"$windows")"
  wait_game 40
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  local elapsed_ms=$((game_end_ms - start_ms))
  note "ran $elapsed_ms ms"
  [ "$elapsed_ms" -ge 5000 ] && [ "$elapsed_ms" -le 30000 ] ||
    fail "ran $elapsed_ms ms, expected the 5000 ms wait plus the game"
  check_quiet
}

# Holding cursor up (ARGUMENT: the X key name, Up or KP_Up) moves the paddle
# up; letting go stops it; the key press cuts the ending short.
scenario_cursor_up() {
  local key=${argument:-Up} top
  start_x 1280x1024
  start_game
  find_window || return
  wait_focus "$window"
  wait_paddle_drawn
  watch_ending
  timeout 10 xdotool keydown "$key"
  local moved
  moved=$("$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" $((PADDLE_START_TOP - 1)) FFFFFF 5000)
  snap "$window" held
  timeout 10 xdotool keyup "$key"
  [ "${moved%% *}" = shown ] || fail "holding $key did not move the paddle up ($moved)"
  if top=$(paddle_top held); then
    note "with $key held the paddle's top was at row $top"
    [ "$top" -lt "$PADDLE_START_TOP" ] || fail "with $key held the paddle's top is at row $top"
  else
    fail "with $key held: $(cat "$work/paddle_problem")"
    /usr/bin/convert "$work/held.ppm" "$work/held.png" >/dev/null 2>&1
  fi
  # Let go, the paddle comes to rest (unless the game has ended meanwhile).
  wait_paddle_rest released 1000
  case $? in
    0) note "after $key was let go the paddle rests at row $rest_top" ;;
    1) fail "after $key was let go the paddle kept moving (row $rest_top)" ;;
    2) alive "$watcher_pid" && fail "after $key was let go: $(cat "$work/paddle_problem")" ;;
  esac
  check_short_ending
}

# The window's close request during play: the window stays, the game goes on,
# and the final wait is cut short.
scenario_close_request() {
  start_x 1280x1024
  start_game
  find_window || return
  wait_paddle_drawn
  watch_ending
  timeout 10 wmctrl -F -c "$TITLE" || fail "wmctrl could not ask the window to close"
  # The window stays and keeps changing: the ball moves on.
  if snap "$window" after_close1 && sleep 0.2 && snap "$window" after_close2; then
    cmp -s "$work/after_close1.ppm" "$work/after_close2.ppm" &&
      fail "the picture did not change in 200 ms after the close request"
  else
    fail "the window went away after the close request"
  fi
  [ "$(game_windows)" = "$window" ] || fail "windows after the close request: $(game_windows | tr '\n' ' ')"
  check_short_ending
}

# Alt+Enter with the "DirectX" back-end where the X screen has no 800xH mode:
# the game stays in a window of the same size, centred, still showing the game.
scenario_alt_enter_directx_window() {
  start_x 1280x1024
  start_game QZGFX=DirectX
  find_window || return
  local first=$window
  wait_focus "$window"
  wait_paddle_drawn
  slow_down
  check_window "$window" 1280 1024
  timeout 10 xdotool key alt+Return
  # The switch may make its window anew; wait for the old one to go, briefly.
  if "$xprobe" wait-gone "$first" 0 2000 >/dev/null; then
    find_window "$first" || return
    note "Alt+Enter made a new window ($first -> $window)"
  fi
  full_screen_state "$window" && fail "the window went full screen"
  check_window "$window" 1280 1024
  wait_focus "$window"
  check_after_switch after_switch
  watch_ending
  release_both
  check_short_ending
}

# Alt+Enter with "DirectX" on an 800x600 X screen, where that mode exists: full
# screen, then back to the centred window on a second Alt+Enter.
scenario_alt_enter_directx_full_screen() {
  start_x 800x600
  start_game QZGFX=DirectX
  find_window || return
  local first=$window
  wait_focus "$window"
  wait_paddle_drawn
  slow_down
  # The window is larger than the screen: centred, the frame at negative coordinates.
  check_window "$window" 800 600
  timeout 10 xdotool key alt+Return
  wait_game_window_in full "$first" || return
  local full=$window x y width height
  x=$(geometry "$window" "Absolute upper-left X")
  y=$(geometry "$window" "Absolute upper-left Y")
  width=$(geometry "$window" Width)
  height=$(geometry "$window" Height)
  note "full screen: ${width}x${height} at ($x, $y)"
  [ "$x,$y,$width,$height" = "0,0,800,600" ] || fail "full screen window ${width}x${height} at ($x, $y)"
  wait_focus "$window"
  check_after_switch full_screen
  timeout 10 xdotool key alt+Return
  wait_game_window_in window "$full" || return
  check_window "$window" 800 600
  wait_focus "$window"
  check_after_switch back_in_window
  watch_ending
  release_both
  check_short_ending
}

# Alt+Enter with "GDI": its window closes and a new one opens, centred as before.
scenario_alt_enter_gdi() {
  start_x 1280x1024
  start_game QZGFX=gdi
  find_window || return
  local first=$window
  wait_focus "$window"
  wait_paddle_drawn
  slow_down
  check_window "$window" 1280 1024
  timeout 10 xdotool key alt+Return
  local gone
  gone=$("$xprobe" wait-gone "$first" 0 5000)
  [ "${gone%% *}" = gone ] || fail "the first window did not close on Alt+Enter ($gone)"
  find_window "$first" || return
  note "new window $window (was $first)"
  full_screen_state "$window" && fail "the new window is full screen"
  check_window "$window" 1280 1024
  wait_focus "$window"
  check_after_switch after_switch
  watch_ending
  release_both
  check_short_ending
}

# No display at all: no back-end starts and the message goes to standard output.
scenario_no_display() {
  local start_ms
  start_ms=$(now_ms)
  (cd "$work/run" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QZGFX -u SDL_VIDEODRIVER \
    "$program" </dev/null >"$work/out" 2>"$work/err") &
  game_pid=$!
  wait_game 40
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  printf '%s\r\n' "$LOSE_MESSAGE" >"$work/expected_out"
  cmp -s "$work/out" "$work/expected_out" ||
    fail "standard output is '$(od -c "$work/out" | head -5)', expected the message and CR LF"
  [ -s "$work/err" ] && fail "standard error not empty: $(head -c 500 "$work/err")"
  local elapsed_ms=$((game_end_ms - start_ms))
  note "ran $elapsed_ms ms"
  [ "$elapsed_ms" -ge 5000 ] && [ "$elapsed_ms" -le 30000 ] ||
    fail "ran $elapsed_ms ms, expected the 5000 ms wait plus the game"
}

# Cursor up held while another window takes the focus: the paddle stops, and
# moves again once the game's window has the focus back.
scenario_focus_lost() {
  start_x 1280x1024
  xmessage -geometry +0+0 "another window" >"$work/xmessage.log" 2>&1 &
  extra_pids+=("$!")
  local other
  other=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage | head -n1)
  [ -n "$other" ] || { fail "xmessage did not show"; return; }
  start_game
  find_window || return
  wait_focus "$window"
  wait_paddle_drawn
  timeout 10 xdotool keydown Up
  local moved
  moved=$("$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" $((PADDLE_START_TOP - 1)) FFFFFF 5000)
  [ "${moved%% *}" = shown ] || fail "holding Up did not move the paddle ($moved)"
  timeout 10 xdotool windowactivate --sync "$other"
  wait_focus "$other"
  # Wait for the paddle to come to rest, then look again a while later.
  wait_paddle_rest unfocused 3000
  case $? in
    1) fail "the paddle kept moving with the focus elsewhere (row $rest_top)" ;;
    2) fail "with the focus elsewhere: $(cat "$work/paddle_problem")" ;;
  esac
  if [ "$failures" -eq 0 ]; then
    local top=$rest_top later
    sleep 0.3
    if snap "$window" unfocused_later && later=$(paddle_top unfocused_later); then
      note "with the focus elsewhere the paddle rests at row $top"
      [ "$later" = "$top" ] || fail "the paddle moved from row $top to $later with the focus elsewhere"
      [ "$top" -lt "$PADDLE_START_TOP" ] || fail "the paddle never moved up (row $top)"
    else
      fail "with the focus elsewhere: $(cat "$work/paddle_problem" 2>/dev/null)"
    fi
    # Back to the game with the key still held: it moves on.
    timeout 10 xdotool windowactivate --sync "$window"
    wait_focus "$window"
    moved=$("$xprobe" wait-pixel "$window" "$PADDLE_RIGHT" $((top - 1)) FFFFFF 5000)
    [ "${moved%% *}" = shown ] || fail "with the focus back the held key did not move the paddle ($moved)"
  fi
  timeout 10 xdotool keyup Up
  wait_game 60
  [ "$game_status" -eq 0 ] || fail "exit status $game_status, expected 0"
  check_quiet
}

case $scenario in
  window_frame | ending | null_backend | cursor_up | close_request | alt_enter_directx_window | \
    alt_enter_directx_full_screen | alt_enter_gdi | no_display | focus_lost)
    "scenario_$scenario"
    ;;
  *)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
report
