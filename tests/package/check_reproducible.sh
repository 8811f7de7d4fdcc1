#!/usr/bin/env bash
# Links kivo.exe a second time, a few seconds after the first, and fails unless both are the
# same bytes: a link time or a build path in the program would make them differ.
# Usage: check_relink.sh BUILD_DIR
set -euo pipefail
build=$1
first=$(mktemp)
trap 'rm -f "$first"' EXIT

cp "$build/kivo.exe" "$first"
sleep 2
rm "$build/kivo.exe"
cmake --build "$build" --target kivo >/dev/null
cmp "$first" "$build/kivo.exe"
