#!/bin/sh
# Installs what the web page's build needs on Debian 12, as root: Debian's
# Emscripten and CMake; then fetches the Debian sources of libpng and zlib
# and builds both from them for WebAssembly (Debian packages neither) into
# PREFIX, by default /usr/local/lib/lumerist-deps/emscripten, where CMake
# looks for them.
# Usage: scripts/install-web-deps.sh [PREFIX]
set -eu
here=$(dirname "$0")
prefix=${1:-/usr/local/lib/lumerist-deps/emscripten}
if [ "$(id -u)" -ne 0 ]; then
  echo "install-web-deps.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"
}
need=
for package in cmake make dpkg-dev emscripten; do
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
    need="$need $package"
done
if [ -n "$need" ]; then
  apt_get update -qq
  # shellcheck disable=SC2086 # one word a package
  apt_get install -y -qq --no-install-recommends $need
fi
sh "$here/build-libpng.sh" emscripten "$prefix"
