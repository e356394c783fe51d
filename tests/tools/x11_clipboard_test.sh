#!/usr/bin/env bash
# `corvel copy` on one side and `corvel paste` on the other, through a private X
# server: the picture that arrives is the picture that left.
set -euo pipefail
corvel=$1 picture=$2
command -v Xvfb >/dev/null || { echo "Xvfb is not installed; skipped"; exit 0; }
work=$(mktemp -d)
display=":$((70 + $$ % 20))"
Xvfb "$display" -screen 0 64x64x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
# Ends the server and every copier started; keeps the script's own status.
cleanup() { local status=$?; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"; exit $status; }
trap cleanup EXIT
export DISPLAY=$display
# The copier refuses to start until the server answers; try until it serves.
for _ in $(seq 50); do
  "$corvel" copy "$picture" 20 > "$work/copy.log" 2>&1 &
  copier=$!
  for _ in $(seq 20); do grep -q "on the clipboard" "$work/copy.log" && break 2; kill -0 $copier 2>/dev/null || break; sleep 0.05; done
  sleep 0.1
done
"$corvel" paste "$work/pasted.png"
"$corvel" convert "$picture" "$work/sent.tga" >/dev/null
"$corvel" convert "$work/pasted.png" "$work/received.tga" >/dev/null
cmp "$work/sent.tga" "$work/received.tga"
echo "clipboard round trip through X11: identical"
