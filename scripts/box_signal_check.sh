#!/usr/bin/env bash
# The game on a real X server (Xvfb) with a window manager (openbox), started from a program folder
# without its pictures: each missing picture opens an error box, answered here with xdotool.
#  1. SIGTERM while a box is open closes the box and ends the game through its exit procedure
#     (status 0, single-instance lock released) within a second of the signal.
#  2. Answering every box and pressing Esc ends the game normally.
#  3. Answering every box and closing the window (the window manager's close) ends it normally.
# Needs build/bin/milkanet (test.sh builds it) and Xvfb, openbox, xdotool and xprop, which it installs
# when run as root and they are missing. Prints "box-signal: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
game_binary="$root/build/bin/milkanet"
boxes_expected=18  # the pictures the game loads at start-up

needed=(Xvfb openbox xdotool xprop)
missing_programs() {
  local program
  for program in "${needed[@]}"; do command -v "$program" >/dev/null 2>&1 || echo "$program"; done
}
if [ -n "$(missing_programs)" ] && [ "$(id -u)" -eq 0 ]; then
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xvfb openbox xdotool x11-utils; } >/dev/null 2>&1 || true
fi
if [ -n "$(missing_programs)" ]; then
  echo "box-signal: not run: missing $(missing_programs | tr '\n' ' ')(apt-get install xvfb openbox xdotool x11-utils)"
  echo "box-signal: 0 passed, 0 failed"
  exit 0
fi
if [ ! -x "$game_binary" ]; then
  echo "box-signal: $game_binary is not built (run ./test.sh first)"
  echo "box-signal: 0 passed, 1 failed"
  exit 1
fi

work=$(mktemp -d /tmp/el_box_signal.XXXXXX)
server=0
wm=0
game=0
stop_game() {
  if [ "$game" -gt 0 ] && kill -0 "$game" 2>/dev/null; then kill -KILL "$game"; fi
  [ "$game" -gt 0 ] && wait "$game" 2>/dev/null
  game=0
}
trap 'stop_game; [ "$wm" -gt 0 ] && kill "$wm" 2>/dev/null; [ "$server" -gt 0 ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
# A display of its own: the X server picks a free number itself and says which (other programs on
# the machine may run servers of their own at the same time).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
for _ in $(seq 1 300); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "box-signal: the X server did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"
  echo "box-signal: 0 passed, 1 failed"
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"

passed=0
failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

openbox >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is ready once it has put up its check window.
for _ in $(seq 1 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  echo "box-signal: the window manager did not start: $(tail -n 3 "$work/openbox.log" | tr '\n' ' ')"
  echo "box-signal: 0 passed, 1 failed"
  exit 1
fi

# The program folder: everything the build put beside the game but the pictures.
program="$work/program"
mkdir -p "$program"
for entry in "$root"/build/bin/*; do
  case "$(basename "$entry")" in BMP | bmp) ;; *) cp -a "$entry" "$program/" ;; esac
done

runtime=""
start_game() {
  runtime=$(mktemp -d "$work/runtime.XXXXXX")
  chmod 700 "$runtime"
  (
    cd "$program" || exit 120
    export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime/config SDL_AUDIODRIVER=dummy
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
    trap - INT TERM
    exec ./milkanet
  ) >"$runtime/stdout.txt" 2>"$runtime/stderr.txt" &
  game=$!
}

# The id of the open error box, or nothing: the window manager gives a new box the focus, and the
# box's caption is the error routine's.
box_window() {
  local focused
  focused=$(xdotool getwindowfocus 2>/dev/null) || return 0
  [ "$(xdotool getwindowname "$focused" 2>/dev/null)" = "エラー発生" ] && echo "$focused"
  return 0
}
# Boxes the game has asked for: it says each on standard error before showing it.
boxes_asked() {
  grep -c 'エラー発生' "$runtime/stderr.txt" 2>/dev/null
}
# Waits (at most LIMIT seconds: start-up on a loaded machine is slow) until box number N is open;
# its window id. Box N is open once N boxes were asked for and a box has the focus (box N-1 closed
# before the game went on to ask for the next).
wait_for_box() {
  local n=$1 limit=$2 w
  for _ in $(seq 1 $((limit * 20))); do
    if [ "$(boxes_asked)" -ge "$n" ]; then
      w=$(box_window)
      if [ -n "$w" ]; then
        echo "$w"
        return 0
      fi
    fi
    kill -0 "$game" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
# Each xdotool call is bounded: an activation waits for the window without end of its own.
answer() {
  timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1
  timeout 10 xdotool key --clearmodifiers Return
}
# Answers every box as it opens; the number answered.
answer_all() {
  local count=0 w
  while [ "$count" -lt "$boxes_expected" ] && w=$(wait_for_box $((count + 1)) 30); do
    answer "$w"
    count=$((count + 1))
  done
  echo "$count"
}
lock_released() {
  ! ls "$runtime"/*.sock >/dev/null 2>&1
}
# Waits for the game to end, at most LIMIT seconds (a hang, not a speed); sets `status` to its exit
# status, or "running", and `ended` to the time it was seen to end. (Not in a subshell: only this
# shell can wait for the game.)
status=running
ended=0
wait_game() {
  local limit=$1 _
  status=running
  for _ in $(seq 1 $((limit * 100))); do
    if ! kill -0 "$game" 2>/dev/null; then
      ended=$(now_ms)
      wait "$game"
      status=$?
      return
    fi
    sleep 0.01
  done
}

# 1. SIGTERM while the third box is open.
start_game
first=$(wait_for_box 1 60) && answer "$first"
second=$(wait_for_box 2 30) && answer "$second"
third=$(wait_for_box 3 30)
if [ -z "${third:-}" ]; then
  fail "SIGTERM during a box: no third box opened ($(tail -n 3 "$runtime/stderr.txt" | tr '\n' ' '))"
  stop_game
else
  sleep 0.3  # the box is up and waiting
  signalled=$(now_ms)
  kill -TERM "$game"
  # The end is seen by polling every 10 ms; the wait for it is bounded only to stop a hang.
  wait_game 10
  if [ "$status" = running ]; then
    fail "SIGTERM during a box: the game still runs 10 s after the signal"
    stop_game
  else
    took=$((ended - signalled))
    echo "SIGTERM during a box: the game ended $took ms after the signal, status $status"
    # One second, and a quarter of one for the measurement itself: the polling step and the
    # forks of date(1) on a loaded machine of two cores.
    if [ "$took" -le 1250 ] && [ "$status" -eq 0 ] && lock_released && [ -z "$(box_window)" ]; then
      pass "SIGTERM during a box ends the game through its exit procedure within a second"
    else
      fail "SIGTERM during a box: $took ms, status $status, lock $(lock_released && echo released || echo kept), box $(box_window)"
    fi
  fi
fi

# 2. Every box answered, then Esc.
start_game
answered=$(answer_all)
main=$(xdotool search --onlyvisible --name 'ミルカネット' 2>/dev/null | head -1)
if [ "$answered" -ne "$boxes_expected" ] || [ -z "$main" ]; then
  fail "Esc after the boxes: $answered of $boxes_expected boxes answered, window '${main}'"
  stop_game
else
  sleep 0.5
  timeout 10 xdotool windowactivate --sync "$main" >/dev/null 2>&1
  timeout 10 xdotool key --clearmodifiers Escape
  wait_game 20
  if [ "$status" = 0 ] && lock_released; then
    pass "after its $answered boxes the game ends on Esc"
  else
    fail "Esc after the boxes: status $status: $(tail -n 2 "$runtime/stderr.txt" | tr '\n' ' ')"
    stop_game
  fi
fi

# 3. Every box answered, then the window manager's close (openbox: Alt+F4).
start_game
answered=$(answer_all)
main=$(xdotool search --onlyvisible --name 'ミルカネット' 2>/dev/null | head -1)
if [ "$answered" -ne "$boxes_expected" ] || [ -z "$main" ]; then
  fail "close after the boxes: $answered of $boxes_expected boxes answered, window '${main}'"
  stop_game
else
  sleep 0.5
  timeout 10 xdotool windowactivate --sync "$main" >/dev/null 2>&1
  timeout 10 xdotool key --clearmodifiers alt+F4
  wait_game 20
  if [ "$status" = 0 ] && lock_released; then
    pass "after its $answered boxes the game ends on the window's close"
  else
    fail "close after the boxes: status $status: $(tail -n 2 "$runtime/stderr.txt" | tr '\n' ' ')"
    stop_game
  fi
fi

echo "box-signal: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
