#!/usr/bin/env bash
# Draws data/screenshots/kivo.png, the picture in the README and the AppStream metainfo: Kivo's
# real window on a private Xvfb, with SDL's virtual joystick of twelve buttons and keys assigned
# to five of them. Needs a build of the linux preset with its tests (the end-to-end host).
# Usage: scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux}
host=$build/tests/e2e/kivo-e2e-host
[ -x "$host" ] || { echo "kivo: no $host; build the linux preset with its tests first" >&2; exit 1; }
for tool in Xvfb import; do
  command -v $tool >/dev/null || { echo "kivo: $tool is missing; scripts/test.sh installs it" >&2; exit 1; }
done

# Waits until the file holds a line matching the pattern, for as long as the process runs.
wait_for() {
  until grep -q "$1" "$2"; do
    kill -0 "$3" 2>/dev/null || { echo "kivo: $4 ended before it was ready" >&2; exit 1; }
    sleep 0.1
  done
}

work=$(mktemp -d)
pids=()
# Kivo before its display, so it does not see the display go.
stop() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop EXIT

# A display of its own, whose number Xvfb picks and writes once it takes connections.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for . "$work/display" "${pids[0]}" Xvfb

mkdir -p "$work/config/kivo" "$work/runtime"
chmod 700 "$work/runtime"
{
  printf '[Settings]\r\n0=Button 1:  {Enter}\r\n1=Button 2:  Space \r\n2=Button 3:  {F5}\r\n3=Button 4:  z\r\n'
  printf '4=Button 5:  {Esc}\r\n'
  for button in $(seq 6 12); do printf '%d=Button %d:  \r\n' $((button - 1)) "$button"; done
} >"$work/config/kivo/kivo.ini"

mkfifo "$work/commands"
: >"$work/host.out"
exec 4<>"$work/commands"
DISPLAY=:$(cat "$work/display") XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb \
  WAYLAND_DISPLAY= "$host" --buttons 12 <&4 >"$work/host.out" &
pids+=($!)
wait_for '^ready ' "$work/host.out" "${pids[1]}" kivo-e2e-host
window=$(sed -n 's/^ready //p' "$work/host.out")
# The host answers only once the events before, the window's first painting among them, are done.
echo labels >&4
wait_for '^end$' "$work/host.out" "${pids[1]}" kivo-e2e-host

DISPLAY=:$(cat "$work/display") import -window "$window" -strip "$root/data/screenshots/kivo.png"
echo "kivo: wrote data/screenshots/kivo.png"
