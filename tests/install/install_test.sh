#!/bin/sh
# Installs the build into a temporary prefix and runs the installed tool on
# a bundled example snapshot. Usage:
#   install_test.sh BUILD_DIR SOURCE_DIR [EXE_SUFFIX [EMULATOR...]]
# A Windows build (EXE_SUFFIX .exe) installs the programs and the manual
# pages as text side by side, and runs through the emulator (Wine).
set -eu
build=$1
source=$2
suffix=${3:-}
shift 2
[ $# -gt 0 ] && shift
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
if [ "$suffix" = .exe ]; then
  bin=$prefix
  pages="$prefix/README.md"
  for page in lumerist lumerist-preview lumerist-sprites lumerist-bands lumerist-export; do
    pages="$pages $prefix/$page.txt"
  done
else
  bin=$prefix/bin
  pages=
  for page in lumerist lumerist-preview lumerist-sprites lumerist-bands lumerist-export; do
    pages="$pages $prefix/share/man/man1/$page.1"
  done
fi
for page in $pages; do
  test -s "$page" || { echo "missing $page"; exit 1; }
done
cp "$source/examples/text.vsf" "$prefix/shot.vsf"
"$@" "$bin/lumerist$suffix" "$prefix/shot.vsf" >"$prefix/report"
grep -q "Executable screen-Viewer" "$prefix/report"
test "$(wc -c <"$prefix/shot.vsf.prg")" -eq 4149
# Each report is read whole: a reader that stops early would make the
# command fail to write it, and a command that cannot write its report
# replaces no file.
"$@" "$bin/lumerist-preview$suffix" "$prefix/shot.vsf" >"$prefix/report"
grep -q "Preview written as" "$prefix/report"
test -s "$prefix/shot.vsf.png"
"$@" "$bin/lumerist-sprites$suffix" "$prefix/shot.vsf" >"$prefix/report"
grep -q "Sprite sheet of the bank" "$prefix/report"
test -s "$prefix/shot.vsf.sprites.png"
"$@" "$bin/lumerist-export$suffix" "$prefix/shot.vsf" "$prefix/font.64c" >"$prefix/report"
grep -q "Character set written" "$prefix/report"
test "$(wc -c <"$prefix/font.64c")" -eq 2050
"$@" "$bin/lumerist-bands$suffix" "$prefix/shot.vsf" >"$prefix/report" 2>/dev/null
grep -q "^Band 1: lines 16-287: " "$prefix/report"
test "$(wc -c <"$prefix/shot.vsf.band1.prg")" -eq 4149
echo "installed lumerist, lumerist-preview, lumerist-sprites, lumerist-bands and lumerist-export ran: ok"
