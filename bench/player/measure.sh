#!/usr/bin/env bash
# The player's figures: exec to first presented frame, idle processor use of the whole process over
# 20 s, processor use while minimised, and the main thread's processor time per Present, at 16 and
# 32 bits. Needs an X display with a window manager, for example:
#   xvfb-run -a -s "-screen 0 2560x1440x24" bench/player/measure.sh [PROGRAM_DIR] [SECONDS]
# PROGRAM_DIR defaults to build/bin; the game runs there as run.sh starts it.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
PROGRAM_DIR=$(cd "${1:-$ROOT/build/bin}" && pwd)
SECONDS_IDLE=${2:-20}
STARTS=${STARTS:-5}
TICKS=$(getconf CLK_TCK)

if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; then
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  trap 'kill $WM_PID 2>/dev/null || true' EXIT
  sleep 1
fi

cpu_ticks() { # utime + stime of a process or thread stat file
  awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "$1"
}

start_game() { # depth log
  (cd "$PROGRAM_DIR" && MILKANET_EXEC_NS=$(date +%s%N) MILKANET_PRESENT_STATS=1 ELDRAW_DEPTH=$1 \
    exec ./milkanet 2>"$2") &
  GAME_PID=$!
}

stop_game() {
  kill -KILL "$GAME_PID" 2>/dev/null || true
  wait "$GAME_PID" 2>/dev/null || true
}

wait_for_line() { # log pattern timeout-seconds
  local i
  for ((i = 0; i < $3 * 20; ++i)); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

LOG=$(mktemp)
for depth in 16 32; do
  echo "== depth $depth"
  firsts=()
  cpus=()
  for ((n = 0; n < STARTS; ++n)); do
    start_game "$depth" "$LOG"
    if wait_for_line "$LOG" "first frame" 10; then
      sleep 0.1
      firsts+=("$(sed -n 's/.*first frame \([0-9.]*\) ms.*/\1/p' "$LOG")")
      cpus+=("$(sed -n 's/.*, \([0-9.]*\) ms of processor.*/\1/p' "$LOG")")
    fi
    stop_game
  done
  printf 'exec to first frame (ms): %s  median %s\n' "${firsts[*]}" \
    "$(printf '%s\n' "${firsts[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')"
  printf 'processor time until then (ms): %s  median %s\n' "${cpus[*]}" \
    "$(printf '%s\n' "${cpus[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')"

  start_game "$depth" "$LOG"
  sleep 2
  before=$(cpu_ticks /proc/$GAME_PID/stat)
  main_before=$(cpu_ticks /proc/$GAME_PID/task/$GAME_PID/stat)
  sleep "$SECONDS_IDLE"
  after=$(cpu_ticks /proc/$GAME_PID/stat)
  main_after=$(cpu_ticks /proc/$GAME_PID/task/$GAME_PID/stat)
  awk -v b="$before" -v a="$after" -v mb="$main_before" -v ma="$main_after" -v t="$TICKS" -v s="$SECONDS_IDLE" \
    'BEGIN { printf "idle CPU over %d s: %.1f %% of a core (main thread %.1f %%)\n", s, (a - b) / t / s * 100, (ma - mb) / t / s * 100 }'
  grep "present-stats: .*calls" "$LOG" | tail -2

  window=$(xdotool search --sync --pid "$GAME_PID" 2>/dev/null | tail -1)
  xdotool windowminimize "$window" 2>/dev/null || true
  sleep 2
  before=$(cpu_ticks /proc/$GAME_PID/stat)
  sleep 10
  after=$(cpu_ticks /proc/$GAME_PID/stat)
  awk -v b="$before" -v a="$after" -v t="$TICKS" \
    'BEGIN { printf "minimised CPU over 10 s: %.1f %% of a core\n", (a - b) / t / 10 * 100 }'
  grep "present-stats: .*calls" "$LOG" | tail -1
  stop_game
done
rm -f "$LOG"
