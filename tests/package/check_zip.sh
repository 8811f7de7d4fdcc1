#!/usr/bin/env bash
# Builds the Windows zip from a configured and built tree and checks that it holds the program,
# its read-me, its licence and the runtime's notices with their licences' texts, and nothing else.
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
notices=$out/files/THIRD-PARTY-NOTICES.txt
for text in winpthreads "GCC RUNTIME LIBRARY EXCEPTION" "GNU GENERAL PUBLIC LICENSE" "License: ZPL-2.1"; do
  grep -q "$text" "$notices" || { echo "the notices lack $text" >&2; fail=1; }
done
# Each licence once, and in full: a Windows user cannot follow a path on a Debian system.
[ "$(grep -c "^ *GNU GENERAL PUBLIC LICENSE" "$notices")" -eq 1 ] || { echo "the GPL is not there once" >&2; fail=1; }
if grep -q common-licenses "$notices"; then echo "the notices point to Debian's licence files" >&2; fail=1; fi
exit $fail
