#!/bin/sh
# `corvel gallery` writes a picture for every effect, layer mix mode and brush mix
# mode with an index.html; headless Chromium opens the page, every image decodes,
# and a screenshot of it is kept beside the test output.
set -eu
corvel=$1
out=$2
mkdir -p "$out"
command -v chromium >/dev/null || { echo "chromium is not installed"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

report=$("$corvel" gallery "$tmp/gallery")
echo "$report"
case "$report" in "176 effects, 41 layer mix modes, 33 brush mix modes in "*) ;; *) echo "unexpected report" >&2; exit 1 ;; esac

browse() { # extra chromium arguments...
  timeout -k 5 90 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$tmp/profile" \
    --virtual-time-budget=20000 "$@" 2>/dev/null
}

# The page as the browser sees it: a copy that, once loaded, counts the images that
# did not decode into its title.
sed 's|</body>|<script>window.onload = () => { const all = [...document.images];\
 document.title = "decoded " + all.filter(i => i.complete \&\& i.naturalWidth > 0).length + " of " + all.length; };</script></body>|' \
  "$tmp/gallery/index.html" > "$tmp/gallery/check.html"
title=$(browse --dump-dom "file://$tmp/gallery/check.html" | grep -o '<title>[^<]*</title>')
echo "$title"
[ "$title" = "<title>decoded 250 of 250</title>" ] || { echo "images missing or broken" >&2; exit 1; }

# Every tile names what it shows, the settings used and its time.
grep -c '<figcaption><b>[^<]*</b><span>[^<]*</span><span>[0-9.]* ms</span>' "$tmp/gallery/index.html" | grep -qx 250
# A described effect is captioned with its sliders' names and values, others with the slider ids.
grep -Eq '<b>Gaussian Blur</b><span>(s1 at 50|[A-Z][a-z ]+ [0-9.]+)' "$tmp/gallery/index.html"

browse --screenshot="$out/gallery.png" --window-size=1280,1800 "file://$tmp/gallery/index.html"
"$corvel" info "$out/gallery.png" | grep -q "PNG, 1280 x 1800 pixels" || { echo "no screenshot" >&2; exit 1; }
echo "screenshot: $out/gallery.png"
