#!/usr/bin/env bash
# Builds Kivo (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target kivo
exec build/linux/kivo "$@"
