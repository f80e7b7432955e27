#!/bin/sh
# Installs what the Windows build needs on Debian 12, as root: the MinGW-w64
# cross compiler, its zlib, Wine to run the tests and GoogleTest's sources;
# then fetches the Debian sources of libpng and zlib and builds from them
# the static libpng for MinGW-w64 (Debian packages none) into PREFIX, by
# default /usr/local/lib/lumerist-deps/mingw, where CMake looks for it.
# Usage: scripts/install-windows-deps.sh [PREFIX]
set -eu
here=$(dirname "$0")
prefix=${1:-/usr/local/lib/lumerist-deps/mingw}
if [ "$(id -u)" -ne 0 ]; then
  echo "install-windows-deps.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"
}
need=
for package in cmake make dpkg-dev groff-base googletest g++-mingw-w64-x86-64-posix \
  libz-mingw-w64-dev wine wine64; do
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
    need="$need $package"
done
if [ -n "$need" ]; then
  apt_get update -qq
  # shellcheck disable=SC2086 # one word a package
  apt_get install -y -qq --no-install-recommends $need
fi
sh "$here/build-libpng.sh" mingw "$prefix"
