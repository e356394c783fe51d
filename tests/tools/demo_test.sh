#!/bin/sh
# `corvel demo` paints its landscape and runs its three effects: a generated texture,
# a texture bump from an example image script and a Lua filter from the examples.
set -eu
corvel=$1
out=$2/demo.png
mkdir -p "$2"
report=$("$corvel" demo "$out")
echo "$report"
for want in '"Generate Perlin Noise"' '"Texturize Bump Material"' '"Lua Filter"' \
    '3 effects run through the image-processing buffers, each saved for undo as one step'; do
  case "$report" in *"$want"*) ;; *) echo "report lacks: $want" >&2; exit 1 ;; esac
done
case "$report" in *"not found"*) echo "the examples were not found" >&2; exit 1 ;; esac
"$corvel" info "$out" | grep -q "PNG, 960 x 600 pixels" || { echo "demo picture not readable" >&2; exit 1; }
