#!/usr/bin/env bash
# Packs a built tree, makes what the build drew and linked in the tree itself again a few seconds
# later, packs again, and fails unless both packages are the same bytes: a build or link time, a
# build path, or a file's time in the program, its resources or the package would make them differ.
# Usage: check_reproducible.sh BUILD_DIR GENERATOR PACKAGE TARGETS PATH...
#   The files at the PATHs (under them, for a folder) are removed; TARGETS, separated by commas,
#   make them again.
set -euo pipefail
build=$1
generator=$2
package=$3
IFS=, read -ra targets <<<"$4"
shift 4
source "$(dirname "$0")/pack.sh"

pack "$generator" "$build" "$package"
mv "$out/$package" "$out/first-$package"
sleep 2 # a later second, so that a time stamp left in a file would differ
find "$@" -type f -delete
cmake --build "$build" --target "${targets[@]}" >/dev/null
pack "$generator" "$build" "$package"
cmp "$out/first-$package" "$out/$package"
