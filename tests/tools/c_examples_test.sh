#!/bin/sh
# The C examples, built as a host author would: the project installed into a
# scratch prefix, each example compiled once through find_package(corvel) and
# once through pkg-config, and what each writes checked for painted pixels.
#   c_examples_test.sh BUILD_DIR EXAMPLES_DIR
set -eu
build=$1 examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libcorvel.so*' | head -n 1)")

painted() { # PNG: fails unless a good share of it is not white
  /usr/bin/python3 - "$1" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
painted = sum(1 for p in im.getdata() if p != (255, 255, 255))
print(f"{sys.argv[1]}: {im.size[0]}x{im.size[1]}, {painted} painted pixels")
sys.exit(0 if painted > im.size[0] * im.size[1] // 100 else 1)
PY
}

# The photo the effect example opens, and the filter it runs.
/usr/bin/python3 - "$work/photo.png" <<'PY'
import sys
from PIL import Image
im = Image.new("RGB", (240, 160))
im.putdata([(x, y * 3 // 2, (x + y) // 2) for y in range(160) for x in range(240)])
im.save(sys.argv[1])
PY
cp "$examples/../lua/invert.lua" "$work/filter.lua"

differs() { # OUT IN: fails unless most pixels changed
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
from PIL import Image
a, b = (Image.open(p).convert("RGB") for p in sys.argv[1:3])
changed = sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)
print(f"{sys.argv[1]}: {changed} pixels differ from {sys.argv[2]}")
sys.exit(0 if a.size == b.size and changed > a.size[0] * a.size[1] // 2 else 1)
PY
}

# find_package(corvel)
cmake -S "$examples" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake" >/dev/null
# pkg-config
export PKG_CONFIG_PATH="$libdir/pkgconfig"
mkdir -p "$work/pc"
for src in "$examples"/*.c; do
  name=$(basename "$src" .c)
  cc -std=c99 -Wall -Wextra -Werror -o "$work/pc/$name" "$src" $(pkg-config --cflags --libs corvel) -lm
  for route in cmake pc; do
    (cd "$work" && LD_LIBRARY_PATH="$libdir" "$work/$route/$name" "$work/$name-$route.png" \
      "$work/photo.png" "$work/filter.lua" >/dev/null)
    painted "$work/$name-$route.png"
    [ "$name" != photo_effect ] || differs "$work/$name-$route.png" "$work/photo.png"
  done
done
echo "c_examples: every example built both ways and painted"
