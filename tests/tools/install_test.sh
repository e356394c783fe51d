#!/bin/sh
# The installed project as a user gets it from `cmake --install`: the programs run
# from their prefix (and from the prefix moved elsewhere) with no library path set,
# the Python package imports and loads the installed library, and the header,
# library, pkg-config file and CMake package all carry the project's version.
#   install_test.sh BUILD_DIR PROJECT_VERSION
set -eu
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH CORVEL_LIB PYTHONPATH || true
fail() { echo "install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
programs="corvel"
[ -x "$work/prefix/bin/corvel-paint" ] && programs="$programs corvel-paint"

for p in $programs; do
  runpath=$(readelf -d "$work/prefix/bin/$p" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case "$runpath" in
    '$ORIGIN/'*) echo "$p: RUNPATH $runpath" ;;
    *) fail "bin/$p has RUNPATH '$runpath', not one relative to \$ORIGIN" ;;
  esac
done

# Moved after installing: the programs still find the library beside them.
mv "$work/prefix" "$work/moved"
prefix=$work/moved
for p in $programs; do
  ldd "$prefix/bin/$p" | grep -q "libcorvel.so.0 => $prefix/" || fail "bin/$p does not load $prefix's libcorvel"
done
"$prefix/bin/corvel" effects >"$work/effects.txt" || fail "bin/corvel effects failed"
grep -q Spin "$work/effects.txt" || fail "bin/corvel effects lists no Spin"

# The Python package, found through PYTHONPATH alone, loads the prefix's library.
pydir=$prefix/lib/python3/dist-packages
[ -f "$pydir/corvel/__init__.py" ] || fail "no Python package under $pydir"
PYTHONPATH=$pydir /usr/bin/python3 - "$prefix" <<'PY' || fail "the installed Python package did not load the installed library"
import os, sys
import corvel
with corvel.Canvas(16, 8) as canvas:
    pass
maps = open("/proc/self/maps").read()
loaded = {line.split()[-1] for line in maps.splitlines() if "libcorvel.so" in line}
prefix = os.path.realpath(sys.argv[1])
print("python: loaded", *loaded)
sys.exit(0 if loaded and all(os.path.realpath(p).startswith(prefix + "/") for p in loaded) else 1)
PY

# One version everywhere: header macros, CVL_GetVersion, pkg-config, the CMake package.
libdir=$(dirname "$(find "$prefix" -name 'libcorvel.so.0' | head -n 1)")
export PKG_CONFIG_PATH="$libdir/pkgconfig"
[ "$(pkg-config --modversion corvel)" = "$version" ] || fail "pkg-config says $(pkg-config --modversion corvel), not $version"
grep -q "PACKAGE_VERSION \"$version\"" "$libdir/cmake/corvel/corvelConfigVersion.cmake" ||
  fail "the CMake package does not carry $version"
cat >"$work/version.c" <<'C'
#include <stdio.h>
#include <string.h>
#include <corvel/corvel.h>
int main(void) {
  char macros[64];
  snprintf(macros, sizeof macros, "%d.%d.%d", CORVEL_VERSION_MAJOR, CORVEL_VERSION_MINOR, CORVEL_VERSION_PATCH);
  printf("%s\n", CVL_GetVersion());
  return strcmp(macros, CVL_GetVersion()) != 0;
}
C
cc -std=c99 -o "$work/version" "$work/version.c" $(pkg-config --cflags --libs corvel) -Wl,-rpath,"$libdir"
found=$("$work/version") || fail "the header's macros and CVL_GetVersion disagree ($found)"
[ "$found" = "$version" ] || fail "CVL_GetVersion says $found, the project $version"
echo "install: programs run from a moved prefix; Python loads the installed library; version $version throughout"
