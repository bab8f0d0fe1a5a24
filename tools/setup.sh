#!/usr/bin/env bash
# Installs everything Tonvia needs to build and test on Debian 12, from Debian's own packages.
# Idempotent: a quick no-op when everything is present. Run as root.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

packages=(
  cmake make g++ python3 googletest libbenchmark-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
  libboost-regex1.81-dev libjpeg62-turbo-dev clang libclang-rt-14-dev dpkg-dev qemu-user-static
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: enabling the i386 architecture"
    dpkg --add-architecture i386
  fi
  # Source packages are needed for libjpeg-turbo, which is cross-built below.
  if [ ! -f /etc/apt/sources.list.d/tonvia-src.sources ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
    echo "setup: enabling Debian source packages"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/tonvia-src.sources
  fi
  apt-get update -qq >/dev/null
  for p in "${missing[@]}"; do echo "setup: installing $p"; done
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine needs the glibc locale to map non-ASCII file names to code page 936 correctly.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Wine's 32-bit side is made of i386 Linux programs. Where the kernel does not run those itself
# (a 64-bit-only host), they run under qemu's user-mode emulation through binfmt_misc; wine64
# provides a native wineserver, so only the Windows programs themselves are emulated.
if ! /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -f "$binfmt/qemu-i386" ]; then
    echo "setup: running i386 programs under qemu-i386 (this kernel runs 64-bit code only)"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      > "$binfmt/register"
  fi
fi

"$here/build-libjpeg.sh"
