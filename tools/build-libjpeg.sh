#!/usr/bin/env bash
# Cross-builds the static libjpeg from Debian's libjpeg-turbo source package for the 32-bit MinGW
# toolchain, into build/deps/libjpeg (kept across builds; a quick no-op once built).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$root/build/deps/libjpeg"
[ -f "$prefix/lib/libjpeg.a" ] && exit 0

echo "setup: building libjpeg for MinGW from Debian's libjpeg-turbo source"
work="$root/build/deps/src"
mkdir -p "$work"
cd "$work"
if ! ls libjpeg-turbo_*.orig.tar.gz >/dev/null 2>&1; then
  if ! apt-get source --download-only libjpeg-turbo >/dev/null 2>&1; then
    apt-get update -qq >/dev/null
    apt-get source --download-only libjpeg-turbo >/dev/null
  fi
fi
tarball=$(ls libjpeg-turbo_*.orig.tar.gz | head -n 1)
rm -rf libjpeg-turbo-src && mkdir libjpeg-turbo-src
tar -xzf "$tarball" -C libjpeg-turbo-src --strip-components=1
cmake -S libjpeg-turbo-src -B libjpeg-turbo-build \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 >/dev/null
cmake --build libjpeg-turbo-build --target jpeg-static -j"$(nproc)" >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp libjpeg-turbo-build/libjpeg.a "$prefix/lib/"
cp libjpeg-turbo-src/jpeglib.h libjpeg-turbo-src/jmorecfg.h libjpeg-turbo-src/jerror.h \
   libjpeg-turbo-build/jconfig.h "$prefix/include/"
