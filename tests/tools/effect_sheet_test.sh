#!/bin/sh
# `corvel effect-sheet` writes one labelled sheet holding a cell for every effect.
set -eu
corvel=$1
out=$2/effect-sheet.png
mkdir -p "$2"
report=$("$corvel" effect-sheet "$out" 2>/dev/null)
echo "$report"
case "$report" in "176 effects on $out (2382 x 2526)"*) ;; *) echo "unexpected report" >&2; exit 1 ;; esac
"$corvel" info "$out" | grep -q "PNG, 2382 x 2526 pixels" || { echo "sheet not readable" >&2; exit 1; }
