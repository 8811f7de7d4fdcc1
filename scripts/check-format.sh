#!/usr/bin/env bash
# Fails when a C++ file is not formatted as the root .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' | xargs -0 clang-format --dry-run --Werror
