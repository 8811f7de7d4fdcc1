#!/usr/bin/env bash
# Packs a built tree, then copies its source to another folder, builds it there, minutes later,
# packs that, and fails unless both packages are the same bytes: a build or link time, a source
# or build path, or a file's time in the program, its resources or the package would make them differ.
# Usage: check_reproducible.sh SOURCE_DIR BUILD_DIR GENERATOR PACKAGE CMAKE_ARGUMENT...
#   The copy, of the files git would commit as they are now, lies in BUILD_DIR, and is built
#   whole, configured with the CMAKE_ARGUMENTs.
set -euo pipefail
source_dir=$(realpath "$1")
build=$(realpath "$2")
generator=$3
package=$4
shift 4
source "$(dirname "$0")/pack.sh"

# The copy is no checkout, so both packs take the time of the original's last commit.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

pack "$generator" "$build" "$package"
mv "$out/$package" "$out/first-$package"

copy=$build/reproducible-copy
rm -rf "$copy"
trap 'rm -rf "$out" "$copy"' EXIT
mkdir "$copy"
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy")
# Built where this tree is built, relative to its source: a compiler cache with a base folder
# hands the compiler paths relative to the build folder, which the file-prefix maps cannot reach.
# Such a cache must still compile every file anew.
relative=$(realpath --relative-to="$source_dir" "$build")
[[ $relative == ..* ]] && relative=build
export CCACHE_RECACHE=1
# Quiet unless it fails: Ninja says what failed on standard output.
cmake -S "$copy" -B "$copy/$relative" "$@" >"$out/build.log" && cmake --build "$copy/$relative" >>"$out/build.log" ||
  { cat "$out/build.log" >&2; exit 1; }
pack "$generator" "$copy/$relative" "$package"
cmp "$out/first-$package" "$out/$package"
