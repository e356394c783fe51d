#!/bin/sh
# The installed `corvel` program misused the ways people misuse it: every misuse
# exits non-zero with a message that names the argument or the file and the cause,
# help and the version go to standard output with status 0, and nothing hangs.
#   corvel_cli_test.sh BUILD_DIR
set -eu
build=$1
tmp=$(mktemp -d)
trap 'chmod -R u+rwx "$tmp"; rm -rf "$tmp"' EXIT
chmod 755 "$tmp"  # the permission cases run as an unprivileged user when this runs as root
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
corvel=$prefix/bin/corvel
libdir=$(dirname "$(find "$prefix" -name 'libcorvel.so*' | head -n 1)")
export LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
cd "$tmp"

failures=0
# check STATUS TEXT COMMAND...: COMMAND exits with STATUS and prints TEXT (on either stream).
check() {
  want=$1 text=$2
  shift 2
  set +e
  timeout -k 5 60 "$@" >stdout.txt 2>stderr.txt
  got=$?
  set -e
  if [ "$got" != "$want" ] || { [ -n "$text" ] && ! cat stdout.txt stderr.txt | grep -qF -- "$text"; }; then
    echo "FAIL: $* -> exit $got, wanted $want and \"$text\"; it said:" >&2
    cat stdout.txt stderr.txt >&2
    failures=$((failures + 1))
  fi
}
# quiet_stderr COMMAND...: COMMAND succeeds with nothing on standard error.
quiet_stderr() {
  check 0 "" "$@"
  [ ! -s stderr.txt ] || { echo "FAIL: $* wrote to stderr: $(cat stderr.txt)" >&2; failures=$((failures + 1)); }
}

python3 - <<'PY'
import struct, zlib
def png(path, w, h, claim=None, cut=False):
    raw = b''.join(b'\0' + bytes([200, 100, 50]) * w for _ in range(h))
    chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
    cw, ch = claim or (w, h)
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', cw, ch, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))
    open(path, 'wb').write(data[:len(data) // 2] if cut else data)
png('in.png', 32, 24)
png('cut.png', 32, 24, cut=True)
png('huge.png', 32, 24, claim=(60000, 60000))
png('many.png', 32, 24, claim=(20000, 20000))  # each side fits; the pixel count does not
# Headers of the other formats stating 60000 x 60000 (PSD 40000: its own limit is 30000 in version 1).
N = 60000
open('huge.gif', 'wb').write(b'GIF89a' + struct.pack('<HHBBB', N, N, 0, 0, 0) + b';')
open('huge.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 54, 0, 0, 54)
                             + struct.pack('<IiiHHIIiiII', 40, N, -N, 1, 24, 0, 0, 2835, 2835, 0, 0))
jfif = b'\xff\xe0' + struct.pack('>H', 16) + b'JFIF\0\x01\x01\0\0\x01\0\x01\0\0'
sof = b'\xff\xc2' + struct.pack('>HBHHB', 17, 8, N, N, 3) + b'\x01\x11\0\x02\x11\0\x03\x11\0'
open('huge.jpg', 'wb').write(b'\xff\xd8' + jfif + sof + b'\xff\xd9')
vp8x = b'VP8X' + struct.pack('<I', 10) + b'\0' * 4 + (N - 1).to_bytes(3, 'little') + (N - 1).to_bytes(3, 'little')
open('huge.webp', 'wb').write(b'RIFF' + struct.pack('<I', 4 + len(vp8x)) + b'WEBP' + vp8x)
ifd = struct.pack('<H', 2) + struct.pack('<HHII', 256, 4, 1, N) + struct.pack('<HHIHH', 257, 3, 1, N, 0) + b'\0' * 4
open('huge.tif', 'wb').write(b'II*\0' + struct.pack('<I', 8) + ifd)
open('huge.psd', 'wb').write(b'8BPS' + struct.pack('>H', 1) + b'\0' * 6 + struct.pack('>HIIHH', 3, 40000, 40000, 8, 3))
open('empty.png', 'wb').close()
open('words.png', 'w').write('not a picture\n')
PY
mkdir folder.png

# Help and version: standard output, status 0; a command line it cannot use: 2.
quiet_stderr "$corvel" --help
grep -q "corvel effect NAME IN OUT" stdout.txt
quiet_stderr "$corvel" -h
quiet_stderr "$corvel" help resize
grep -q "usage: corvel resize IN OUT W H \[FILTER\]" stdout.txt
quiet_stderr "$corvel" effect --help
grep -q -- "--timeout SECONDS" stdout.txt
quiet_stderr "$corvel" --version
grep -Eqx "corvel [0-9]+\.[0-9]+\.[0-9]+.*" stdout.txt
check 2 "usage: corvel COMMAND" "$corvel"
check 2 'unknown command "frobnicate"' "$corvel" frobnicate
check 2 'unknown command "nope"' "$corvel" help nope
check 2 "2 arguments given; usage: corvel resize IN OUT W H [FILTER]" "$corvel" resize in.png out.png

# --threads stands anywhere and gives the same picture at every count.
for n in 1 3; do
  quiet_stderr "$corvel" --threads $n effect "Gaussian Blur" in.png blur$n.png --s1 30
done
quiet_stderr "$corvel" effect "Gaussian Blur" in.png blur0.png --s1 30 --threads 0
cmp blur1.png blur3.png && cmp blur1.png blur0.png || { echo "FAIL: --threads changed the picture" >&2; failures=$((failures + 1)); }
check 2 "--threads 65: needs a whole number from 0" "$corvel" --threads 65 info in.png
check 2 "--threads (missing)" "$corvel" info in.png --threads

# Reading: each cause by name.
check 1 "cannot read missing.png: no such file" "$corvel" info missing.png
check 1 "folder.png: it is a folder" "$corvel" info folder.png
check 1 "empty.png: the file is empty" "$corvel" info empty.png
check 1 "words.png: not a picture format the engine reads" "$corvel" info words.png
check 1 "cut.png: a damaged or cut-short PNG file" "$corvel" info cut.png
check 1 "huge.png: the picture is too large: its header says 60000 x 60000 pixels" "$corvel" info huge.png
check 1 "many.png: the picture is too large: its header says 20000 x 20000 pixels" "$corvel" info many.png
for f in huge.gif huge.bmp huge.jpg huge.webp huge.tif; do
  check 1 "$f: the picture is too large: its header says 60000 x 60000 pixels" "$corvel" info $f
done
check 1 "huge.psd: the picture is too large: its header says 40000 x 40000 pixels" "$corvel" info huge.psd
check 0 "PNG, 32 x 24 pixels" "$corvel" info in.png

# Writing: each cause by name, and nothing is left behind.
check 1 "cannot write no/such/dir/x.png: no such folder no/such/dir" "$corvel" convert in.png no/such/dir/x.png
check 1 'unknown extension ".xyz"; the name must end in one of .png' "$corvel" convert in.png out.xyz
check 1 "the name has no extension" "$corvel" convert in.png out
check 1 "in.png is not a folder" "$corvel" convert in.png in.png/x.png
test ! -e out.xyz && test ! -e out

# Permission: as an unprivileged user when run as root (root reads and writes anything).
mkdir locked && chmod 555 locked
cp in.png secret.png && chmod 000 secret.png
as_user=""
if [ "$(id -u)" = 0 ]; then as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"; fi
if [ -z "$as_user" ] || $as_user true 2>/dev/null; then
  check 1 "secret.png: permission denied" $as_user "$corvel" info secret.png
  check 1 "locked/x.png: permission denied" $as_user "$corvel" convert in.png locked/x.png
fi

# Effects: arguments checked against what the effect reads and their ranges.
quiet_stderr "$corvel" effect Spin in.png spun.png --s1 60 --s2 50
test -s spun.png
check 2 '--s1 500 is out of range: s1' "$corvel" effect Spin in.png o.png --s1 500
check 2 "takes 0 to 100" "$corvel" effect Spin in.png o.png --s2 -1
check 2 "--color 300,0,0: each channel takes 0 to 255" "$corvel" effect Offset in.png o.png --color 300,0,0
check 2 '"Posterize" does not read s1; it reads nothing' "$corvel" effect Posterize in.png o.png --s1 50
check 2 '--f3: "Spin" does not read f3; it reads s1' "$corvel" effect Spin in.png o.png --f3
check 2 '--color: "Mosaic" does not read colour' "$corvel" effect Mosaic in.png o.png --color 1,2,3
check 2 '"Texturize Bump Material" needs --text FILE' "$corvel" effect "Texturize Bump Material" in.png o.png
check 1 "--text /missing.isc: no such file" "$corvel" effect "Texturize Bump Material" in.png o.png --text /missing.isc
check 1 'unknown effect "spin"; did you mean "Spin"?' "$corvel" effect spin in.png o.png
check 1 'did you mean "Gaussian Blur"' "$corvel" effect "Gausian Blur" in.png o.png
check 2 "--s1 abc: needs a number" "$corvel" effect Spin in.png o.png --s1 abc
check 2 "--s1: needs a value" "$corvel" effect Spin in.png o.png --s1
check 2 "--bogus: not an option of corvel effect" "$corvel" effect Spin in.png o.png --bogus
check 2 "--timeout 0: needs a number of seconds above 0" "$corvel" effect Spin in.png o.png --timeout 0
test ! -e o.png

# The effect list: readable, one in detail, and JSON with every effect's sliders.
check 0 "With its defaults: corvel effect \"Spin\" IN OUT" "$corvel" effects Spin
check 1 'unknown effect "spin"; did you mean "Spin"?' "$corvel" effects spin
check 2 "--bogus: not an option of corvel effects" "$corvel" effects --bogus
check 0 "" "$corvel" effects --json
python3 - <<'PY'
import json
effects = json.load(open('stdout.txt'))
assert len(effects) == 176, len(effects)
for e in effects:
    assert {'name', 'frame', 'description', 'sliders', 'arguments'} <= e.keys(), e
    for a in e['sliders'] + e['arguments']:
        assert {'arg', 'name', 'min', 'max', 'default', 'unit', 'meaning'} <= a.keys(), (e['name'], a)
    assert all(a['arg'][0] == 's' for a in e['sliders']), e['name']
spin = next(e for e in effects if e['name'] == 'Spin')
assert [a['arg'] for a in spin['sliders']] == ['s1', 's2', 's3', 's4'], spin
PY

# Resize and play name the argument at fault.
check 2 'corvel resize: W "0": needs a whole number from 1 to 10000' "$corvel" resize in.png o.png 0 10
check 2 'H "abc"' "$corvel" resize in.png o.png 10 abc
check 2 'FILTER "Nope": unknown' "$corvel" resize in.png o.png 10 10 Nope
header='1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n1\r\n'
printf "${header}Line2\r\n10\r\n10\r\n50\r\n50\r\nScriptEnd\r\n" > ok.srp
printf "${header}Line2\r\n10\r\n10\r\n50\r\n5x0\r\nScriptEnd\r\n" > bad.srp
check 2 "--size 0x0: needs WxH" "$corvel" play ok.srp o.png --size 0x0
check 2 "--size: needs a value" "$corvel" play ok.srp o.png --size
check 2 "--bogus: not an option of corvel play" "$corvel" play ok.srp o.png --bogus
check 1 "cannot read missing.srp: no such file" "$corvel" play missing.srp o.png
check 1 "bad.srp has 1 problem; o.png not written (--keep-going" "$corvel" play bad.srp o.png
test ! -e o.png
check 0 "1 problems -> o.png" "$corvel" play bad.srp o.png --keep-going
test -s o.png && rm o.png

# Lua: the sandbox keeps a script from the file system; a time limit ends a script
# that never stops, and one that stops itself when it sees Escape.
echo 'local f = io.open("escaped.txt", "w") f:write("x") f:close()' > io.lua
check 1 "script error" "$corvel" lua io.lua in.png o.png --sandbox
test ! -e escaped.txt && test ! -e o.png
check 0 "" "$corvel" lua io.lua in.png o.png
test -e escaped.txt && rm o.png
echo 'while true do end' > forever.lua
check 1 "timed out after 1 s" "$corvel" lua forever.lua in.png o.png --timeout 1
echo 'while is_escape() == 0 do end' > polite.lua
check 1 "timed out after 0.5 s" "$corvel" lua polite.lua in.png o.png --timeout 0.5
check 1 'corvel effect Lua Filter: timed out after 1 s' "$corvel" effect "Lua Filter" in.png o.png --text forever.lua --timeout 1
check 2 "--timeout: needs a value" "$corvel" lua forever.lua in.png o.png --timeout
check 2 "--slider7: not an option of corvel lua" "$corvel" lua io.lua in.png o.png --slider7 1
check 1 "cannot read nothing.lua: no such file" "$corvel" lua nothing.lua in.png o.png
test ! -e o.png

# Progress: a line on a terminal once the work passes a second; nothing when not a terminal.
echo 'local t = os.clock() while os.clock() - t < 1.6 do end' > slow.lua
quiet_stderr "$corvel" lua slow.lua in.png slow.png
if command -v script >/dev/null; then
  timeout -k 5 60 script -qec "'$corvel' lua slow.lua in.png slow.png" /dev/null > tty.txt || true
  grep -q "corvel lua slow.lua: [0-9]* s" tty.txt || { echo "FAIL: no progress line on a terminal" >&2; failures=$((failures + 1)); }
fi

[ "$failures" = 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "corvel command line: every misuse named"
