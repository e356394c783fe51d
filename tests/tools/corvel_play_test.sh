#!/bin/sh
# corvel play: a paint script recorded by a Lua filter paints ink along its strokes,
# lines and dabs and nowhere else; a damaged line is reported by number and the rest plays.
set -eu
corvel=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir scripts  # the engine records into scripts/luapaint.srp under its start directory

python3 -c "
import struct
w, h = 4, 4
row = bytes([255, 255, 255]) * w + bytes((4 - w * 3 % 4) % 4)
header = struct.pack('<2sIHHI', b'BM', 54 + len(row) * h, 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(row) * h, 2835, 2835, 0, 0)
open('in.bmp', 'wb').write(header + info + row * h)"

# Pixels of the 24-bit BMP files the player writes, for the checks below.
cat > bmp.py <<'PY'
import struct
def reader(path):
    data = open(path, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    w, h = struct.unpack_from('<ii', data, 18)
    stride = (w * 3 + 3) // 4 * 4
    def rgb(x, y):
        p = offset + (h - 1 - y) * stride + x * 3
        b, g, r = data[p:p + 3]
        return r, g, b
    return w, h, rgb
PY

cat > record.lua <<'LUA'
paint_open(99)
paint_select_brush('Round', 0, '')
paint_brush_size(6)
paint_brush_color(0, 0, 0.5)
paint_stroke_start(20, 20)
paint_stroke_pos(60, 20, 1)
paint_stroke_pos(100, 20, 1)
paint_stroke_pos(100, 60, 1)
paint_stroke_stop()
paint_brush_color(0.8, 0, 0)
paint_line(20, 100, 120, 100)
paint_dab(150, 150, 1)
paint_close()
LUA
"$corvel" lua record.lua in.bmp out.bmp >/dev/null
test -s scripts/luapaint.srp

"$corvel" play scripts/luapaint.srp played.bmp --size 200x200 >/dev/null

# Ink on the recorded paths, paper (white) everywhere well away from them.
check() { # file
  python3 - "$1" <<'PY'
import sys
from bmp import reader
w, h, rgb = reader(sys.argv[1])
assert (w, h) == (200, 200), (w, h)
inked = [(20, 20), (40, 20), (80, 20), (100, 20), (100, 40), (100, 60), (20, 100), (70, 100), (120, 100), (150, 150)]
for x, y in inked:
    assert rgb(x, y) != (255, 255, 255), ('no ink', x, y, rgb(x, y))
assert rgb(60, 20)[2] > rgb(60, 20)[0], rgb(60, 20)      # the stroke is blue
assert rgb(70, 100)[0] > rgb(70, 100)[2], rgb(70, 100)   # the line is red
paths = [((20, 20), (100, 20)), ((100, 20), (100, 60)), ((20, 100), (120, 100)), ((150, 150), (150, 150))]
def near(x, y):
    for (x0, y0), (x1, y1) in paths:
        dx, dy = x1 - x0, y1 - y0
        t = 0 if dx == dy == 0 else max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        if ((x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2) ** 0.5 < 8:
            return True
    return False
for y in range(0, 200, 3):
    for x in range(0, 200, 3):
        if not near(x, y):
            assert rgb(x, y) == (255, 255, 255), ('stray ink', x, y, rgb(x, y))
PY
}
check played.bmp

# A damaged copy: an unknown command and a bad number are reported by line and nothing is
# written; with --keep-going the rest still plays.
awk 'NR == 7 { print "Smudge\r"; print "3\r" } { print } ' scripts/luapaint.srp | sed 's/^120\r$/12x0\r/' > damaged.srp
if "$corvel" play damaged.srp damaged.bmp --size 200x200 >/dev/null 2> err; then exit 1; fi
grep -q 'damaged.srp has 2 problems; damaged.bmp not written' err
test ! -e damaged.bmp
"$corvel" play damaged.srp damaged.bmp --size 200x200 --keep-going >/dev/null 2> err
grep -q 'damaged.srp:7: unknown command "Smudge"' err
grep -q 'damaged.srp:[0-9]*: Line2: value 3 is not a number' err
python3 - <<'PY'
from bmp import reader
w, h, rgb = reader('damaged.bmp')
assert rgb(80, 20) != (255, 255, 255)   # the stroke still played
assert rgb(150, 150) != (255, 255, 255) # and the dab after the damaged line
assert rgb(70, 100) == (255, 255, 255)  # the damaged line did not
PY

# Filters run over the picture painted so far (paper included), with their sliders;
# strokes after them ink above; an unknown effect is reported by line and skipped.
cat > filters.lua <<LUA
paint_open(7)
paint_brush_size(6)
paint_brush_color(0, 0, 0.5)
paint_stroke_start(20, 20)
paint_stroke_pos(100, 20, 1)
paint_stroke_stop()
paint_filter('Negative', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '')
paint_brush_color(0.8, 0, 0)
paint_line(20, 100, 120, 100)
paint_filter('Gausian Blur', 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '')
paint_filter('Brightness and Contrast', 0, 60, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '')
paint_dab(150, 150, 1)
paint_close()
LUA
"$corvel" lua filters.lua in.bmp out.bmp >/dev/null
"$corvel" play scripts/luapaint.srp filtered.bmp --size 200x200 --keep-going > report 2> err
grep -q ' 2 filters, 1 problems' report
grep -q 'luapaint.srp:[0-9]*: Filter: unknown effect "Gausian Blur"' err
python3 - <<'PY'
from bmp import reader
w, h, rgb = reader('filtered.bmp')
paper = rgb(180, 60)
assert paper[0] == paper[1] == paper[2] and 30 < paper[0] < 225, paper  # white, inverted, then brightened
r, g, b = rgb(60, 20)                     # the blue stroke, inverted to yellow
assert r > b + 60 and g > b + 60, (r, g, b)
r, g, b = rgb(70, 100)                    # the red line, brightened
assert r > g + 60 and g == b and g > paper[1] - 5, (r, g, b)
assert rgb(150, 150) == (204, 0, 0), rgb(150, 150)  # the dab after the filters is as painted
PY

# Bad command lines are refused.
if "$corvel" play scripts/luapaint.srp x.bmp --size 0x5 2>/dev/null; then exit 1; fi
if "$corvel" play missing.srp x.bmp 2>/dev/null; then exit 1; fi
echo ok
