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
PROGRAM=${PROGRAM:-milkanet}  # PROGRAM=eldemo measures the demo the same way
TICKS=$(getconf CLK_TCK)
# A copy of the game already running elsewhere as this user would make each start here a second
# copy that only raises the first: keep the single-instance lock to ourselves.
export XDG_RUNTIME_DIR=$(mktemp -d)

if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  trap 'kill $WM_PID 2>/dev/null || true' EXIT
  sleep 1
fi

# Processor time in clock ticks from the scheduler's exact figures (nanoseconds on the processor),
# for the whole process (all its threads) or one thread.
process_cpu() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk -v t="$TICKS" '{ s += $1 } END { printf "%.3f", s * t / 1e9 }'
}
thread_cpu() {
  awk -v t="$TICKS" '{ printf "%.3f", $1 * t / 1e9 }' /proc/"$1"/task/"$1"/schedstat
}

start_game() { # depth log
  # Emptied here, not by the child's redirection, which may come after the first look at the log.
  : >"$2"
  (cd "$PROGRAM_DIR" && MILKANET_EXEC_NS=$(date +%s%N) MILKANET_PRESENT_STATS=1 ELDRAW_DEPTH=$1 \
    exec "./$PROGRAM" 2>>"$2") &
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
    if wait_for_line "$LOG" "first frame [0-9.]* ms after exec, [0-9.]* ms of processor" 10; then
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
  before=$(process_cpu "$GAME_PID")
  main_before=$(thread_cpu "$GAME_PID")
  sleep "$SECONDS_IDLE"
  after=$(process_cpu "$GAME_PID")
  main_after=$(thread_cpu "$GAME_PID")
  awk -v b="$before" -v a="$after" -v mb="$main_before" -v ma="$main_after" -v t="$TICKS" -v s="$SECONDS_IDLE" \
    'BEGIN { printf "idle CPU over %d s: %.1f %% of a core (main thread %.1f %%)\n", s, (a - b) / t / s * 100, (ma - mb) / t / s * 100 }'
  grep "present-stats: .*calls" "$LOG" | tail -2 || true

  window=$(xdotool search --sync --pid "$GAME_PID" 2>/dev/null | tail -1)
  xdotool windowminimize "$window" 2>/dev/null || true
  for ((i = 0; i < 40; ++i)); do
    xprop -id "$window" WM_STATE 2>/dev/null | grep -q Iconic && break
    sleep 0.05
  done
  xprop -id "$window" WM_STATE 2>/dev/null | grep -q Iconic || echo "(the window did not minimise)"
  # Measure only once the minimise has reached the program, and show the statistics of the
  # windows of calls that began after it.
  sleep 1
  stats_before=$(grep -c "present-stats: .*calls" "$LOG" || true)
  before=$(process_cpu "$GAME_PID")
  sleep 12
  after=$(process_cpu "$GAME_PID")
  awk -v b="$before" -v a="$after" -v t="$TICKS" \
    'BEGIN { printf "minimised CPU over 12 s: %.1f %% of a core\n", (a - b) / t / 12 * 100 }'
  grep "present-stats: .*calls" "$LOG" | tail -n +"$((stats_before + 1))" || true
  stop_game
done
rm -rf "$LOG" "$XDG_RUNTIME_DIR"
