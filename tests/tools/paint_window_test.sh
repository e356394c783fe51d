#!/usr/bin/env bash
# corvel-paint in a private X server, driven by synthetic pointer and key events: a
# stroke across a 4096 x 4096 canvas of four layers with a 64-pixel brush, undone and
# redone, an effect applied and undone, saved after each; the files must show the
# stroke exactly when it is there.
# Leaves a screenshot and the latency log in the output directory.
set -euo pipefail
paint=$1 out=$2
for tool in Xvfb xdotool python3 import convert; do
  command -v $tool >/dev/null || { echo "$tool is not installed; skipped"; exit 77; }
done
mkdir -p "$out"
work=$(mktemp -d)
display=":$((40 + $$ % 20))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
cleanup() { local status=$?; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"; exit $status; }
trap cleanup EXIT
export DISPLAY=$display SDL_VIDEODRIVER=x11
# SDL's video and D-Bus modules keep allocations for the life of the process and are
# unloaded before a sanitizer build's leak check, which then cannot tell whose they
# are; the engine's own allocations are leak-checked by the unit suite.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

saved=$work/painting.png
"$paint" --canvas 4096x4096 --layers 4 --window 1024x720 --brush-size 64 --save-on-exit "$saved" --timing \
  > "$work/log" 2> "$out/paint_timing.log" &
program=$!
# Waits until the log has `count` lines matching the pattern (the program answers each step).
wait_for() { # pattern count
  for _ in $(seq 600); do
    [ "$(grep -c "$1" "$work/log" || true)" -ge "$2" ] && return 0
    kill -0 $program 2>/dev/null || break
    sleep 0.05
  done
  echo "no '$1' from corvel-paint; its log:"; cat "$work/log"; return 1
}
wait_for '^ready' 1
window=$(xdotool search --sync --name corvel-paint | head -1)
xdotool windowfocus --sync "$window" 2>/dev/null || true

# The stroke: a gentle wave from (100, 200) to (700, 260) in window pixels, which at
# 1:1 are canvas pixels, sent as one motion event every 6 pixels.
path=$(python3 -c '
import math
for i in range(101):
    x = 100 + 6 * i
    print(x, round(230 - 30 * math.cos(i / 100 * math.pi)))')
xdotool mousemove --window "$window" 100 200 mousedown 1
while read -r x y; do xdotool mousemove --window "$window" "$x" "$y"; sleep 0.004; done <<< "$path"
xdotool mouseup 1
wait_for '^stroke 1:' 1

xdotool key --window "$window" ctrl+z
wait_for '^undo' 1
xdotool key --window "$window" ctrl+s
wait_for '^saved' 1
cp "$saved" "$work/undone.png"
xdotool key --window "$window" ctrl+y
wait_for '^redo' 1
# The effect key: pick "Negative" with Shift+E (the title names the chosen effect), apply
# it, save, and undo it again; the exit save must then show the stroke as painted.
for _ in $(seq 10); do
  xdotool getwindowname "$window" | grep -q '\[E\] Negative$' && break
  xdotool key --window "$window" shift+e
  sleep 0.1
done
xdotool key --window "$window" e
wait_for '^effect Negative on layer' 1
xdotool key --window "$window" ctrl+s
wait_for '^saved' 2
cp "$saved" "$work/negated.png"
sleep 0.3
import -window root "$out/paint_window_negative.png"
xdotool key --window "$window" ctrl+z
wait_for '^undo' 2
sleep 0.3
import -window root "$out/paint_window.png"
xdotool key --window "$window" Escape
for _ in $(seq 600); do kill -0 $program 2>/dev/null || break; sleep 0.05; done
wait $program
cat "$work/log"
grep -q "^latency:" "$work/log"
grep "^latency:" "$work/log" >> "$out/paint_timing.log"

# Raw RGB bytes of both files (4096 pixels a row) for the checks below.
convert "$work/undone.png" -depth 8 "rgb:$work/undone.rgb"
convert "$saved" -depth 8 "rgb:$work/painted.rgb"
convert "$work/negated.png" -depth 8 "rgb:$work/negated.rgb"
python3 -c '
import sys
W = 4096
class Image:
    def __init__(self, path): self.data = open(path, "rb").read()
    def getpixel(self, p):
        i = (p[1] * W + p[0]) * 3
        return tuple(self.data[i:i + 3])
undone, painted, negated = Image(sys.argv[1]), Image(sys.argv[2]), Image(sys.argv[4])
path = [tuple(map(int, l.split())) for l in sys.argv[3].splitlines()]
def ink(img, x, y): return 255 - min(img.getpixel((x, y)))
bad = []
for x, y in path[2:-2]:
    if ink(painted, x, y) < 200: bad.append(("no ink on the path", x, y, painted.getpixel((x, y))))
    if ink(undone, x, y) > 0: bad.append(("ink after undo", x, y, undone.getpixel((x, y))))
    # The negative turns the dark stroke light; the paper below is another layer.
    if ink(negated, x, y) > 60: bad.append(("dark ink after the negative", x, y, negated.getpixel((x, y))))
# Far from the path (more than the brush radius): untouched paper in both files.
for x, y in [(100, 120), (400, 330), (760, 230), (40, 40), (2000, 2000), (4095, 4095), (700, 500)]:
    for name, img in (("undone", undone), ("painted", painted), ("negated", negated)):
        if ink(img, x, y) > 0: bad.append(("ink far from the path in " + name, x, y, img.getpixel((x, y))))
for b in bad[:10]: print(*b)
sys.exit(1 if bad else 0)' "$work/undone.rgb" "$work/painted.rgb" "$path" "$work/negated.rgb"
echo "stroke painted, undone and redone, negated and the effect undone through synthetic events; saved files checked"
