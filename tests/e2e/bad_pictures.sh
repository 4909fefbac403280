#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Bad files where the game reads its pictures: each of the four pictures in
# turn is replaced by a bad one (or removed) while the other three stay good,
# and the real program must play to its end as with the picture missing: exit
# status 0, nothing written, the final 5 s wait, the files left as they were.
# The null back-end plays them (a dozen at a time: each run mostly waits);
# Given XPROBE, two of them are also played in a real window under Xvfb.
# Usage: bad_pictures.sh PROGRAM PICTURES_FOLDER [XPROBE]
set -u
program=$1
pictures=$2
xprobe=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
top_work=$(mktemp -d "${TMPDIR:-/tmp}/paddleball-bad.XXXXXX")
trap 'chmod -R u+rwx "$top_work" 2>/dev/null; rm -rf "$top_work"' EXIT
PARALLEL=12
NAMES=(penis.bmp ball.bmp black.bmp black2.bmp)

# Writes the little-endian 32-bit VALUE at byte OFFSET of FILE.
put_u32() {
  local file=$1 at=$2 v=$3
  # shellcheck disable=SC2059  # the format is the bytes, made just above
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $(((v >> 8) & 255)) \
    $(((v >> 16) & 255)) $(((v >> 24) & 255)))" |
    dd of="$file" bs=1 seek="$at" conv=notrunc status=none
}

# A raw dump of kind 0xFE whose length field says LENGTH, followed by BODY bytes.
raw_dump() {
  local file=$1 length=$2 body=$3
  printf '\xfe' >"$file"
  put_u32 "$file" 1 "$length"
  head -c "$body" /dev/zero | tr '\0' '\7' >>"$file"
}

# Makes picture NAME in folder DIR bad in the way KIND says (the good copy is
# already there). Returns 2 when the kind cannot be tried here.
make_bad() {
  local dir=$1 name=$2 kind=$3
  local file=$dir/$name size
  size=$(stat -c %s "$file")
  case $kind in
    missing) rm "$file" ;;
    empty) : >"$file" ;;
    only_b) printf 'B' >"$file" ;;
    header_cut) truncate -s 30 "$file" ;;
    header_whole) truncate -s 54 "$file" ;;
    colour_table_cut) truncate -s $((54 + 512 + 2)) "$file" ;;
    rows_cut_half) truncate -s $((size / 2)) "$file" ;;
    last_row_short) truncate -s $((size - 1)) "$file" ;;
    directory) rm "$file" && mkdir "$file" ;;
    unreadable)
      chmod 000 "$file"
      # Root reads it anyway: there is no unreadable file to try then.
      if head -c1 "$file" >/dev/null 2>&1; then return 2; fi
      ;;
    dump_too_long) raw_dump "$file" 30144 30144 ;;
    dump_length_huge) raw_dump "$file" 4294967295 64 ;;
    dump_ends_early) raw_dump "$file" 3215 100 ;;
    width_too_large) put_u32 "$file" 18 8191 ;;
    height_too_large) put_u32 "$file" 22 65535 ;;
    width_zero) put_u32 "$file" 18 0 ;;
    top_down) put_u32 "$file" 22 $((0x100000000 - 40)) ;;
    colour_table_too_long) put_u32 "$file" 10 $((54 + 1028)) ;;
    paddle_in_its_place) cp "$pictures/penis.bmp" "$file" ;;
    garbage) head -c 4096 /dev/urandom >"$file" ;;
    *) echo "unknown kind $kind" >&2; return 1 ;;
  esac
}

KINDS=(missing empty only_b header_cut header_whole colour_table_cut rows_cut_half last_row_short
  directory unreadable dump_too_long dump_length_huge dump_ends_early width_too_large
  height_too_large width_zero top_down colour_table_too_long paddle_in_its_place garbage)

# Plays one case in its folder; writes the outcome line to DIR/outcome.
play_null() {
  local dir=$1 name=$2 kind=$3
  local run=$dir/run status start elapsed_ms problems=""
  (cd "$run" && find . -exec stat -c '%n %s %a %Y' {} + | sort) >"$dir/before"
  start=$(date +%s%N)
  (cd "$run" && QZGFX=null timeout 60 "$program" >"$dir/out" 2>"$dir/err" </dev/null)
  status=$?
  elapsed_ms=$((($(date +%s%N) - start) / 1000000))
  (cd "$run" && find . -exec stat -c '%n %s %a %Y' {} + | sort) >"$dir/after"
  [ "$status" -eq 0 ] || problems+=" exit status $status;"
  [ -s "$dir/out" ] && problems+=" standard output: $(head -c 200 "$dir/out");"
  [ -s "$dir/err" ] && problems+=" standard error: $(head -c 2000 "$dir/err");"
  if [ "$elapsed_ms" -lt 5000 ] || [ "$elapsed_ms" -gt 45000 ]; then
    problems+=" ran ${elapsed_ms} ms;"
  fi
  cmp -s "$dir/before" "$dir/after" || problems+=" the folder changed: $(diff "$dir/before" "$dir/after" | head -5);"
  if [ -n "$problems" ]; then
    echo "FAIL $name $kind:$problems" >"$dir/outcome"
  else
    echo "ok   $name $kind: exit 0 after ${elapsed_ms} ms, quiet" >"$dir/outcome"
  fi
}

failures=0
skipped=0
cases=()
for name in "${NAMES[@]}"; do
  for kind in "${KINDS[@]}"; do
    dir=$top_work/$name-$kind
    mkdir -p "$dir/run"
    cp "$pictures"/*.bmp "$dir/run/"
    make_bad "$dir/run" "$name" "$kind"
    case $? in
      0) cases+=("$dir|$name|$kind") ;;
      2)
        echo "skip $name $kind: running as root, which reads a file of mode 000"
        skipped=$((skipped + 1))
        ;;
      *) echo "FAIL $name $kind: cannot make the bad file"; failures=$((failures + 1)) ;;
    esac
  done
done

running=0
for entry in "${cases[@]}"; do
  IFS='|' read -r dir name kind <<<"$entry"
  play_null "$dir" "$name" "$kind" &
  running=$((running + 1))
  if [ "$running" -ge "$PARALLEL" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait
for entry in "${cases[@]}"; do
  IFS='|' read -r dir _ _ <<<"$entry"
  if [ -f "$dir/outcome" ]; then cat "$dir/outcome"; else echo "FAIL $dir: no outcome"; fi
  grep -q '^ok' "$dir/outcome" 2>/dev/null || failures=$((failures + 1))
done

# One case in a real window under Xvfb: the game's window opens, the game plays
# to its end and exits 0, quiet. Runs in a subshell: x_session.sh cleans up at
# its exit.
play_window() {
  local name=$1 kind=$2 backend=$3
  (
    scenario="bad-$name-$kind-$backend"
    # shellcheck source=x_session.sh
    source "$here/x_session.sh"
    make_bad "$work/run" "$name" "$kind" || { fail "cannot make the bad file"; report; }
    start_x 1024x768
    start_game QZGFX="$backend" SDL_RENDER_DRIVER=software
    find_window && note "window $window opened"
    wait_game 60
    [ "$game_status" -eq 0 ] || fail "exit status $game_status"
    [ -z "$(game_windows)" ] || fail "a window is still there after the end"
    check_quiet
    report
  )
}

if [ -n "$xprobe" ]; then
  for entry in "penis.bmp|rows_cut_half|DirectX" "ball.bmp|paddle_in_its_place|GDI"; do
    IFS='|' read -r name kind backend <<<"$entry"
    if out=$(play_window "$name" "$kind" "$backend" 2>&1); then
      echo "ok   $name $kind in a $backend window: exit 0, quiet, window gone"
    else
      echo "FAIL $name $kind in a $backend window:"
      echo "$out"
      failures=$((failures + 1))
    fi
  done
fi

echo "bad pictures: ${#cases[@]} runs, $failures failed, $skipped skipped"
[ "$failures" -eq 0 ]
