#!/bin/sh
# Installs the build into a temporary prefix and runs the installed tool on
# a bundled example snapshot. Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for page in lumerist.1 lumerist-preview.1 lumerist-sprites.1; do
  test -f "$prefix/share/man/man1/$page" || { echo "missing manual page $page"; exit 1; }
done
cp "$source/examples/text.vsf" "$prefix/shot.vsf"
"$prefix/bin/lumerist" "$prefix/shot.vsf" >"$prefix/report"
grep -q "Executable screen-Viewer" "$prefix/report"
test "$(wc -c <"$prefix/shot.vsf.prg")" -eq 4149
"$prefix/bin/lumerist-preview" "$prefix/shot.vsf" | grep -q "Preview written as"
test -s "$prefix/shot.vsf.png"
"$prefix/bin/lumerist-sprites" "$prefix/shot.vsf" | grep -q "Sprite sheet of the bank"
test -s "$prefix/shot.vsf.sprites.png"
echo "installed lumerist, lumerist-preview and lumerist-sprites ran: ok"
