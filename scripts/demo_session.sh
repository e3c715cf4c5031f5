#!/usr/bin/env bash
# A scripted session of the real demo program on a desktop: every page in turn with its keys, the
# mouse on the primitives page, a virtual joystick on the joystick page, F5 on the packs page, and
# Esc at the end. Takes a screenshot of each page and records the program's sound through SDL's
# disk audio driver, then measures the sound heard on each page. Needs an X display, xdotool,
# imagemagick and sox, for example:
#   xvfb-run -a -s "-screen 0 1920x1080x24" scripts/demo_session.sh [PROGRAM_DIR] [OUT_DIR]
# PROGRAM_DIR defaults to build/bin, OUT_DIR to a new folder under /tmp. Ends with status 0 when the
# program ended by itself with status 0 and every page's sound was as expected.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM_DIR=$(cd "${1:-$ROOT/build/bin}" && pwd)
OUT=${2:-$(mktemp -d /tmp/demo-session.XXXXXX)}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# A desktop of our own: settings, lock and sound file do not touch the user's.
export XDG_RUNTIME_DIR=$(mktemp -d) XDG_CONFIG_HOME=$(mktemp -d)
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/sound.raw"
export MILKANET_VIRTUAL_JOYSTICK="$OUT/joystick.txt"
trap 'rm -rf "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"' EXIT

if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  trap 'kill $WM_PID 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"' EXIT
  sleep 1
fi

# The joystick rests in the middle while the pages before it are shown and while the joystick page
# measures its centre, then from JOY_FROM ms after the program started: pushed left and up, pushed
# right and down with buttons 1 and 3 held, released, and round in a circle.
JOY_FROM=${JOY_FROM:-40000}
{
  echo "# the virtual joystick of the demo session"
  echo "$JOY_FROM axis 0 -32768"
  echo "$JOY_FROM axis 1 -20000"
  echo "$((JOY_FROM + 4000)) axis 0 32767"
  echo "$((JOY_FROM + 4000)) axis 1 24000"
  echo "$((JOY_FROM + 4000)) button 0 1"
  echo "$((JOY_FROM + 4000)) button 2 1"
  echo "$((JOY_FROM + 8000)) axis 0 0"
  echo "$((JOY_FROM + 8000)) axis 1 0"
  echo "$((JOY_FROM + 8000)) button 0 0"
  echo "$((JOY_FROM + 8000)) button 2 0"
  awk -v from=$((JOY_FROM + 10000)) 'BEGIN { for (i = 0; i < 40; ++i) {
      a = i * 3.14159265 / 10; t = from + i * 100;
      printf "%d axis 0 %d\n%d axis 1 %d\n", t, 28000 * cos(a), t, 28000 * sin(a) } }'
} >"$OUT/joystick.txt"

STARTED_NS=$(date +%s%N)
elapsed_ms() { echo $((($(date +%s%N) - STARTED_NS) / 1000000)); }
log() { printf '%6d ms  %s\n' "$(elapsed_ms)" "$*" | tee -a "$OUT/session.log"; }

(cd "$PROGRAM_DIR" && exec ./eldemo) 2>"$OUT/stderr.txt" &
DEMO_PID=$!
WINDOW=$(xdotool search --sync --onlyvisible --pid "$DEMO_PID" 2>/dev/null | tail -1)
xdotool windowactivate --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
sleep 1
: >"$OUT/session.log"
log "window $WINDOW"

# Keys are held for a moment: the program looks at the keyboard once a frame.
key() {
  xdotool keydown --window "$WINDOW" "$1"
  sleep 0.15
  xdotool keyup --window "$WINDOW" "$1" 2>/dev/null || true  # Esc may have closed it
  sleep "${2:-0.3}"
}
shot() {
  import -window "$WINDOW" "$OUT/$1.png"
  log "shot $1"
}
page() {
  key "$1" 0.5
  log "page $1"
}

page 1
key e 1.2 && shot page1-fade
key n 1.2 && shot page1-wipe-closed
key n 1.2
key F1 0.8 && shot page1-wave
key F1 0.3

page 2
key Right && key Right && key Right 1.0 && shot page2-effects

page 3
xdotool mousemove --window "$WINDOW" 300 260
sleep 0.5 && shot page3-primitives-a
xdotool mousemove --window "$WINDOW" 180 380
key Up && key Up 0.5 && shot page3-primitives-b

page 4
sleep 2 && shot page4-text

SOUND_FROM=$(elapsed_ms)
page 5
key p 0.6 && key Right && key r 0.4 && key r 0.4 && key e 1.0 && shot page5-sound
key s 0.5
SOUND_TO=$(elapsed_ms)

page 6
MUSIC_FROM=$(elapsed_ms)
key s 0.5 && key m 4 && shot page6-music
MUSIC_TO=$(elapsed_ms)

page 7
log "joystick page: the stick moves from $JOY_FROM ms"
while (($(elapsed_ms) < JOY_FROM + 1500)); do sleep 0.2; done
shot page7-pushed-left-up
while (($(elapsed_ms) < JOY_FROM + 5500)); do sleep 0.2; done
shot page7-pushed-right-down-buttons
while (($(elapsed_ms) < JOY_FROM + 11000)); do sleep 0.2; done
shot page7-circling
QUIET_FROM=$(elapsed_ms)

page 8
key Left 0.8 && shot page8-pack
key F5 0.8 && shot page8-saved
QUIET_TO=$(elapsed_ms)

key Escape 1
status=0
for ((i = 0; i < 50; ++i)); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$DEMO_PID" 2>/dev/null; then
  log "the program did not end on Esc"
  kill "$DEMO_PID"
  status=1
fi
wait "$DEMO_PID" || { log "the program ended with status $?"; status=1; }
log "ended"
for f in "$PROGRAM_DIR"/eldemo[0-9][0-9][0-9].bmp; do
  [ -e "$f" ] || continue
  mv "$f" "$OUT/" && log "F5 saved $(basename "$f")"
done

# The disk driver writes what the device played, 48000 Hz 16-bit stereo, from the device's opening
# (at start-up) on, in real time: a page's stretch of the file is its stretch of the session.
sox -t raw -r 48000 -e signed -b 16 -c 2 "$OUT/sound.raw" "$OUT/sound.wav"
rms_between() { # from-ms to-ms
  sox "$OUT/sound.wav" -n trim "$(awk -v m="$1" 'BEGIN { print m / 1000 }')" \
    "$(awk -v a="$1" -v b="$2" 'BEGIN { print (b - a) / 1000 }')" stats 2>&1 |
    awk '/RMS lev dB/ { print $4 }'
}
BEFORE=$(rms_between 0 $((SOUND_FROM - 200)))
EFFECTS=$(rms_between "$SOUND_FROM" "$SOUND_TO")
MUSIC=$(rms_between "$MUSIC_FROM" "$MUSIC_TO")
AFTER=$(rms_between $((QUIET_FROM + 500)) "$QUIET_TO")
{
  echo "sound of the whole session:"
  sox "$OUT/sound.wav" -n stats 2>&1 | grep -E "Pk lev|RMS lev|DC offset|Length"
  echo "pages 1-4 (nothing started): RMS $BEFORE dB"
  echo "page 5 (effects): RMS $EFFECTS dB"
  echo "page 6 (stream and MIDI): RMS $MUSIC dB"
  echo "pages 7-8 (music stopped on leaving page 6): RMS $AFTER dB"
} | tee "$OUT/sound.txt"
sox "$OUT/sound.wav" -n spectrogram -x 1600 -o "$OUT/sound-spectrogram.png"

# Silence reads as -inf; sound above -40 dB.
loud() { [ "$1" != "-inf" ] && awk -v v="$1" 'BEGIN { exit !(v > -40) }'; }
quiet() { [ "$1" = "-inf" ] || awk -v v="$1" 'BEGIN { exit !(v < -80) }'; }
quiet "$BEFORE" || { log "sound before page 5"; status=1; }
loud "$EFFECTS" || { log "page 5 was silent"; status=1; }
loud "$MUSIC" || { log "page 6 was silent"; status=1; }
quiet "$AFTER" || { log "sound after page 6"; status=1; }
grep -v "^ALSA lib" "$OUT/stderr.txt" | sed 's/^/stderr: /' || true
log "screenshots, sound and log in $OUT"
exit $status
