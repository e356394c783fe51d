#!/usr/bin/env bash
# Cross-builds, once, the static libraries the Windows build links that Debian
# does not ship for MinGW-w64: libpng, libjpeg-turbo, libtiff, giflib, libwebp,
# FreeType, Lua 5.1 and GoogleTest, each from its Debian source package.
# zlib comes from Debian's libz-mingw-w64-dev.
#
#   tools/windows/deps.sh CACHE ARCH     (ARCH: x86_64 or i686)
#
# Sources are unpacked under CACHE/src, each library is installed into
# CACHE/ARCH, and CACHE/ARCH/.done-<package> marks it built, so a second run
# only checks the stamps.
set -euo pipefail
cache=$1
arch=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
host=$arch-w64-mingw32
prefix=$cache/$arch
toolchain=$root/cmake/mingw-$arch.cmake
jobs=${CORVEL_JOBS:-2}
mkdir -p "$cache/src" "$cache/build-$arch" "$prefix/lib/pkgconfig" "$prefix/include"
# The toolchain file searches this prefix beside the MinGW sysroot.
export CORVEL_WINDOWS_PREFIX=$prefix

# GoogleTest too for both targets, so that both configure alike, though only
# the 64-bit suite is built (the only one this machine can run).
sources=(libpng1.6 libjpeg-turbo tiff giflib libwebp freetype lua5.1 googletest)

ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    [ "$(id -u)" -eq 0 ] || { echo "deps: no deb-src line and not root" >&2; exit 1; }
    cat > /etc/apt/sources.list.d/corvel-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
  fi
}

# The unpacked tree of a source package (fetched once into CACHE/src).
source_dir() { # package
  local pkg=$1 dir
  dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" | head -1)
  if [ -z "$dir" ]; then
    ensure_deb_src
    (cd "$cache/src" && apt-get source -qq "$pkg" >/dev/null 2>&1) || {
      echo "deps: apt-get source $pkg failed" >&2; exit 1; }
    dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" | head -1)
  fi
  echo "$dir"
}

cmake_lib() { # package, cmake args...
  local pkg=$1; shift
  local src; src=$(source_dir "$pkg")
  local bld=$cache/build-$arch/$pkg
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >"$bld.log" 2>&1 || { tail -30 "$bld.log"; exit 1; }
  cmake --build "$bld" -j "$jobs" >>"$bld.log" 2>&1 || { tail -30 "$bld.log"; exit 1; }
  cmake --install "$bld" >>"$bld.log" 2>&1 || { tail -30 "$bld.log"; exit 1; }
  rm -rf "$bld"
}

# A handful of C files into one archive, for libraries whose own build is a
# hand-written Makefile.
plain_lib() { # name, source dir, headers (space separated), files...
  local name=$1 src=$2 headers=$3; shift 3
  local bld=$cache/build-$arch/$name
  rm -rf "$bld"; mkdir -p "$bld"
  local objs=()
  for f in "$@"; do
    $host-gcc -O2 -c "$src/$f" -o "$bld/${f//\//_}.o" -I"$src"
    objs+=("$bld/${f//\//_}.o")
  done
  rm -f "$prefix/lib/lib$name.a"
  $host-ar rcs "$prefix/lib/lib$name.a" "${objs[@]}"
  for h in $headers; do cp "$src/$h" "$prefix/include/"; done
  rm -rf "$bld"
}

build_one() { # package
  case "$1" in
    libpng1.6) cmake_lib libpng1.6 -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
      -DZLIB_USE_STATIC_LIBS=ON ;;
    libjpeg-turbo) cmake_lib libjpeg-turbo -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
      -DCMAKE_SYSTEM_PROCESSOR="$arch" ;;
    tiff) cmake_lib tiff -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
      -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF -Djpeg12=OFF \
      -DZLIB_USE_STATIC_LIBS=ON ;;
    libwebp) cmake_lib libwebp -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF \
      -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF \
      -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF -DWEBP_USE_THREAD=OFF ;;
    freetype) cmake_lib freetype -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
      -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON ;;
    googletest) cmake_lib googletest -DBUILD_GMOCK=OFF ;;
    giflib)
      local src; src=$(source_dir giflib)
      plain_lib gif "$src" gif_lib.h dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_hash.c openbsd-reallocarray.c quantize.c ;;
    lua5.1)
      local src; src=$(source_dir lua5.1)/src
      plain_lib lua5.1 "$src" "lua.h luaconf.h lualib.h lauxlib.h ../etc/lua.hpp" \
        lapi.c lcode.c ldebug.c ldo.c ldump.c lfunc.c lgc.c llex.c lmem.c lobject.c lopcodes.c \
        lparser.c lstate.c lstring.c ltable.c ltm.c lundump.c lvm.c lzio.c \
        lauxlib.c lbaselib.c ldblib.c liolib.c lmathlib.c loslib.c ltablib.c lstrlib.c loadlib.c linit.c
      cat >"$prefix/lib/pkgconfig/lua5.1.pc" <<PC
prefix=$prefix
Name: lua5.1
Description: Lua 5.1, static
Version: 5.1.5
Libs: -L\${prefix}/lib -llua5.1
Cflags: -I\${prefix}/include
PC
      ;;
  esac
}

for pkg in "${sources[@]}"; do
  [ -f "$prefix/.done-$pkg" ] && continue
  echo "deps: cross-building $pkg for $arch"
  build_one "$pkg"
  touch "$prefix/.done-$pkg"
done
