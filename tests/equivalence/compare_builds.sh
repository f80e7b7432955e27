#!/bin/sh
# Runs a native build and a Windows build (under Wine) on the same
# snapshots: the bundled examples, the fuzz seed corpus (snapshots of every
# shape, whole and cut off), the kept fuzz inputs and the snapshots the
# reader refuses; every exit status, every byte of standard output and
# standard error and every file written must be the same.
# Usage: compare_builds.sh NATIVE_BUILD WINDOWS_BUILD SOURCE_DIR
set -eu
native=$1
windows=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/seeds"
"$native/fuzz/make_fuzz_seeds" "$work/seeds"
set -- "$source/examples/picture.vsf" "$source/examples/text.vsf" "$work/seeds" "$source/fuzz/corpus"
"$native/tests/lumerist_transcript" "$work/native" "$@"
WINEDEBUG=${WINEDEBUG:--all} wine "$windows/tests/lumerist_transcript.exe" "$work/windows" "$@"
if ! diff -r "$work/native" "$work/windows" >"$work/differences"; then
  head -n 40 "$work/differences"
  echo "the native and the Windows build differ"
  exit 1
fi
snapshots=$(find "$work/native" -mindepth 1 -maxdepth 1 -type d | wc -l)
runs=$(find "$work/native" -name status | wc -l)
files=$(find "$work/native" -path '*/files/*' -type f | wc -l)
echo "native and Windows builds agree: $runs runs on $((snapshots - 1)) snapshots, $files files"
