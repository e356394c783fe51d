#!/bin/sh
# corvel lua: a filter run writes the filtered image; a failing script prints
# its error text, writes nothing and exits non-zero.
set -eu
corvel=$1
examples=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A 6 x 4 uncompressed 24-bit BMP of one colour (R 10, G 200, B 30), written by hand.
python3 -c "
import struct
w, h = 6, 4
row = bytes([30, 200, 10]) * w + bytes((4 - w * 3 % 4) % 4)
pixels = row * h
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open('$tmp/in.bmp', 'wb').write(header + info + pixels)"
"$corvel" lua "$examples/lua/invert.lua" "$tmp/in.bmp" "$tmp/out.bmp"
python3 -c "
import struct
data = open('$tmp/out.bmp', 'rb').read()
offset, = struct.unpack_from('<I', data, 10)
bpp, = struct.unpack_from('<H', data, 28)
b, g, r = data[offset:offset + 3]
assert bpp == 24 and (r, g, b) == (245, 55, 225), (bpp, r, g, b)"

"$corvel" lua "$examples/lua/colour_grade.lua" "$tmp/in.bmp" "$tmp/graded.bmp" --slider1 500 --slider3 333 --flag1
test -s "$tmp/graded.bmp"

printf 'set_rgb(0, 0, 1, 1, 1)\nerror("bad thing")\n' > "$tmp/bad.lua"
if "$corvel" lua "$tmp/bad.lua" "$tmp/in.bmp" "$tmp/out2.bmp" 2> "$tmp/err"; then exit 1; fi
grep -q "bad thing" "$tmp/err"
test ! -e "$tmp/out2.bmp"

if "$corvel" lua "$tmp/bad.lua" "$tmp/in.bmp" "$tmp/out3.bmp" --slider7 1 2> /dev/null; then exit 1; fi
echo ok
