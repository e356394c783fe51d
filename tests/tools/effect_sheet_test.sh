#!/bin/sh
# `corvel effect-sheet` writes one labelled sheet holding a cell for every effect,
# and every effect changes the test picture except the few listed here.
set -eu
corvel=$1
out=$2/effect-sheet.png
mkdir -p "$2"
# Neutral at mid-range by its settings: its fold strips (s x 5 pixels) are wider than the 192-pixel cell.
quiet_by_settings="Carpet"
report=$("$corvel" effect-sheet "$out" 2>"$2/effect-sheet.err")
echo "$report"
case "$report" in "176 effects on $out (2382 x 2526)"*) ;; *) echo "unexpected report" >&2; exit 1 ;; esac
"$corvel" info "$out" | grep -q "PNG, 2382 x 2526 pixels" || { echo "sheet not readable" >&2; exit 1; }
status=0
while IFS= read -r line; do
  case "$line" in
    "unchanged: "*)
      name=${line#unchanged: }
      case " $quiet_by_settings " in *" $name "*) ;; *) echo "left the picture unchanged: $name" >&2; status=1 ;; esac ;;
  esac
done <"$2/effect-sheet.err"
exit $status
