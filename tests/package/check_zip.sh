#!/usr/bin/env bash
# Builds the Windows zip from a configured and built tree and checks that it holds the program,
# its read-me, its licence and the runtime's notices, and nothing else.
# Usage: check_zip.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
source "$(dirname "$0")/pack.sh"
pack ZIP "$build" "kivo-${version}-win64.zip"
zip="$out/kivo-${version}-win64.zip"

expected=$'LICENSE.txt\nREADME.txt\nTHIRD-PARTY-NOTICES.txt\nkivo.exe'
contents=$(unzip -Z1 "$zip" | sort)
[ "$contents" = "$expected" ] || { echo "the zip holds:"$'\n'"$contents"$'\n'"instead of:"$'\n'"$expected" >&2; exit 1; }

unzip -q "$zip" -d "$out/files"
fail=0
grep -q "MIT License" "$out/files/LICENSE.txt" || { echo "LICENSE.txt is not the MIT licence" >&2; fail=1; }
for runtime in winpthreads "GCC Runtime Library Exception"; do
  grep -q "$runtime" "$out/files/THIRD-PARTY-NOTICES.txt" || { echo "no notice mentions $runtime" >&2; fail=1; }
done
exit $fail
