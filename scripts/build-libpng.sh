#!/bin/sh
# Builds static libpng and zlib from Debian's own sources for a target that
# Debian packages no libpng for, so that its PNG files come out of the same
# code as the native build's, byte for byte. Run by the set-up scripts
# (scripts/install-windows-deps.sh, scripts/install-web-deps.sh), never by
# a build: CMake only looks for what they installed.
#
#   scripts/build-libpng.sh sources
#       fetches the Debian sources of libpng1.6 and zlib with apt-get source
#       (as root: adds a deb-src entry for the Debian archive apt already
#       uses when there is none) into $LUMERIST_DEPS_SOURCES, by default
#       /usr/local/src/lumerist-deps.
#   scripts/build-libpng.sh mingw PREFIX
#       libpng for 64-bit Windows with MinGW-w64, against MinGW's zlib
#       (libz-mingw-w64-dev).
#   scripts/build-libpng.sh emscripten PREFIX
#       libpng and zlib for WebAssembly with Debian's Emscripten.
#
# A build installs PREFIX/lib/libpng16.a (and libpng.a), for emscripten also
# PREFIX/lib/libz.a, and the headers (png.h, pngconf.h, pnglibconf.h; zlib.h
# and zconf.h for emscripten) in PREFIX/include. It fetches the sources first
# when they are missing, and does nothing when PREFIX already holds a build
# of the same sources for the same target.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
sources=${LUMERIST_DEPS_SOURCES:-/usr/local/src/lumerist-deps}

usage() {
  echo "usage: $0 sources | mingw PREFIX | emscripten PREFIX" >&2
  exit 2
}

# The source version of an installed package, for pinning its sources to
# the native build's library, or nothing.
installed_version() {
  version=$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' "$1" 2>/dev/null || true)
  case $version in
    "installed "*) echo "${version#installed }" ;;
  esac
}

has_deb_src() {
  apt-cache showsrc libpng1.6 2>/dev/null | grep -q '^Package:'
}

# A deb-src entry for every Debian archive in the system's own sources.
add_deb_src() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "build-libpng.sh: apt has no deb-src entry; run it as root to add one" >&2
    exit 1
  fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >/etc/apt/sources.list.d/lumerist-deb-src.sources
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/lumerist-deb-src.list
  fi
  apt-get -o DPkg::Lock::Timeout=900 update -qq
}

source_dir() {
  find "$sources" -mindepth 1 -maxdepth 1 -type d -name "$1-*" 2>/dev/null | sort | tail -n 1
}

# Fetches one source package: the version of the installed development
# package when the archive still has it, else the newest it can download
# (an archive may list sources it cannot serve).
fetch_source() {
  package=$1
  installed=$(installed_version "$2")
  for version in $installed $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -r -V -u); do
    (cd "$sources" && apt-get source -qq "$package=$version" >"$sources/fetch.log" 2>&1) && return
  done
  cat "$sources/fetch.log" >&2
  exit 1
}

fetch_sources() {
  if [ -n "$(source_dir libpng1.6)" ] && [ -n "$(source_dir zlib)" ]; then
    return
  fi
  has_deb_src || add_deb_src
  mkdir -p "$sources"
  [ -n "$(source_dir libpng1.6)" ] || fetch_source libpng1.6 libpng-dev
  [ -n "$(source_dir zlib)" ] || fetch_source zlib zlib1g-dev
  rm -f "$sources/fetch.log"
}

# Configures, builds and installs the CMake project in $1 with the
# configure command that follows (cmake or emcmake cmake and its options).
cmake_install() {
  src=$1
  shift
  rm -rf "$work/build"
  "$@" -S "$src" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
  cmake --build "$work/build" -j2 >>"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
}

# libpng's own CMake build, static only, without its tests and programs;
# the SIMD code serves reading only, and Emscripten has none of it.
png_options() {
  echo -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_FILES=ON -DSKIP_INSTALL_EXPORT=ON
}

build_mingw() {
  # shellcheck disable=SC2046 # one word an option
  cmake_install "$(source_dir libpng1.6)" cmake -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release $(png_options)
  cmake --install "$work/build" >>"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
}

build_emscripten() {
  # Debian's emcc runs its JavaScript tools with a node that does not look
  # in Debian's module folder, where they find acorn.
  if [ -f /usr/share/nodejs/acorn/package.json ]; then
    NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    export NODE_PATH
  fi
  # zlib's own configure and makefile, in a copy: its CMake build renames
  # a header in the source tree.
  cp -R "$(source_dir zlib)" "$work/zlib"
  (cd "$work/zlib" && CFLAGS=-Os emconfigure ./configure --static &&
    emmake make -j2 libz.a) >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/zlib/libz.a" "$prefix/lib/libz.a"
  cp "$work/zlib/zlib.h" "$work/zlib/zconf.h" "$prefix/include/"
  # shellcheck disable=SC2046 # one word an option
  cmake_install "$(source_dir libpng1.6)" emcmake cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" $(png_options)
  cmake --install "$work/build" >>"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
}

[ $# -ge 1 ] || usage
target=$1
case $target in
  sources)
    [ $# -eq 1 ] || usage
    fetch_sources
    exit 0
    ;;
  mingw | emscripten) [ $# -eq 2 ] || usage ;;
  *) usage ;;
esac

fetch_sources
mkdir -p "$2"
prefix=$(cd "$2" && pwd)
stamp="$target $(basename "$(source_dir libpng1.6)") $(basename "$(source_dir zlib)")"
if [ -f "$prefix/lumerist-deps.stamp" ] && [ "$(cat "$prefix/lumerist-deps.stamp")" = "$stamp" ]; then
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"build_$target"
echo "$stamp" >"$prefix/lumerist-deps.stamp"
echo "build-libpng.sh: $stamp in $prefix"
