#!/usr/bin/env bash
# Cross-builds the static libjpeg for a MinGW tree (i686 or x86_64, as its
# toolchain file says) from Debian's libjpeg-turbo source package (no SIMD:
# plain C is plenty for one picture).
# Usage: build-libjpeg-mingw.sh TOOLCHAIN_FILE WORK_DIR PREFIX
# Leaves PREFIX/lib/libjpeg.a and PREFIX/include/{jpeglib,jconfig,jmorecfg,jerror}.h;
# the unpacked source stays in WORK_DIR, so a rebuild does not download again.
set -euo pipefail
toolchain=$(realpath "$1")
work=$2
prefix=$3
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# apt-get source needs deb-src entries; mirror the machine's own Debian entries.
add_deb_src() {
  local out=/etc/apt/sources.list.d/tramo2-deb-src
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/' \
      /etc/apt/sources.list.d/debian.sources | $SUDO tee "$out.sources" >/dev/null
  elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee "$out.list" >/dev/null
  else
    echo "build-libjpeg-mingw: no Debian package source found to mirror" >&2
    return 1
  fi
  $SUDO apt-get update -qq
}

mkdir -p "$work/src"
src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$src" ]; then
  if ! apt-get source --print-uris libjpeg-turbo >/dev/null 2>&1; then
    add_deb_src
  fi
  echo "build-libjpeg-mingw: fetching Debian's libjpeg-turbo source"
  (cd "$work/src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
    echo "build-libjpeg-mingw: apt-get source libjpeg-turbo failed" >&2
    exit 1
  }
  src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi

echo "build-libjpeg-mingw: building $(basename "$src") with $(basename "$toolchain")"
cmake -S "$src" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build "$work/build" --target jpeg-static -j "$(nproc)" >/dev/null

mkdir -p "$prefix/lib" "$prefix/include"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/build/jconfig.h" "$prefix/include/"
cp "$work/build/libjpeg.a" "$prefix/lib/libjpeg.a"
