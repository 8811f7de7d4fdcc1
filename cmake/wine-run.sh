#!/bin/sh
# Runs a cross-built Windows program under Wine. Inside a test session started by
# wine-session.sh (KIVO_WINE_SESSION names its folder) it uses that session's prefix,
# display and running wineserver; otherwise Wine's own defaults.
set -eu
if [ -n "${KIVO_WINE_SESSION:-}" ]; then
  if [ ! -s "$KIVO_WINE_SESSION/display" ]; then
    echo "wine-run.sh: no Wine test session in $KIVO_WINE_SESSION; it is started by the wine_session_start test" >&2
    exit 1
  fi
  WINEPREFIX="$KIVO_WINE_SESSION/prefix"
  DISPLAY=":$(cat "$KIVO_WINE_SESSION/display")"
  export WINEPREFIX DISPLAY
fi
WINEDEBUG="${WINEDEBUG:--all}"
export WINEDEBUG
# A program Wine starts on the way (a service, a console host) may outlive the test program and
# would keep an output pipe of the test's open, so the test would never end: Wine writes to a file.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
# Wine maps a page at a fixed address (0x7ffe0000) in every process, just above its loader, and
# this kernel starts the loader's heap anywhere in the gigabyte above the loader: now and then the
# heap covers that page, and the program does not start ("failed to map the shared user data").
# Without address randomization the heap starts right after the loader.
setarch "$(uname -m)" --addr-no-randomize wine "$@" >"$output" 2>&1 || status=$?
cat "$output"
exit $status
