#!/usr/bin/env bash
# Measures Kivo under Wine on a private desktop: kivo-wine-measure.exe (the game, driving the
# host) and, from the Linux side, the resident memory of the host's Wine process.
#   wine_measure.sh MEASURE.exe HOST.exe SESSION_FOLDER
set -euo pipefail
measure=$1
host=$2
session=$3
mkdir -p "$session"
session=$(cd "$session" && pwd)
. "$(cd "$(dirname "$0")/../../tests/e2e/win32" && pwd)/wine_desktop.sh"
start_wine_desktop "$session"
mkdir -p "$(dirname "$kivo_ini")"
printf '[Settings]\r\n0=Button 1:  {F5}\r\n1=Button 2:  a\r\n2=Button 3:  {Enter}\r\n3=Button 4:  \r\n' >"$kivo_ini"

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
wine "$measure" "$(winepath -w "$host")" &
measure_pid=$!
wine_desktop_pids+=($measure_pid)
# The idle period is the last ten seconds of the run; memory is read in the middle of it.
for _ in $(seq 600); do
  host_pid=$(pgrep -f 'kivo-e2e-host.exe' | head -n1 || true)
  [ -n "$host_pid" ] && break
  sleep 0.1
done
sleep 25
if [ -n "${host_pid:-}" ] && [ -r "/proc/$host_pid/status" ]; then
  echo "resident memory of the host's Wine process (Linux side):"
  awk '/^VmRSS|^VmHWM/ { printf "  %-15s %7.1f MB\n", $1, $2 / 1024 }' "/proc/$host_pid/status"
fi
wait "$measure_pid"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
