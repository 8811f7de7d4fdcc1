#!/usr/bin/env bash
# Measures Kivo under Wine on a private desktop: kivo-wine-measure.exe (the game, driving the
# host) and, from the Linux side, the wake-ups and resident memory of the host's Wine process.
#   wine_measure.sh MEASURE.exe HOST.exe SESSION_FOLDER [HOST OPTION...]
set -euo pipefail
# Wine programs start, and start others, with the address layout cmake/wine-run.sh explains.
((0x$(cat /proc/self/personality) & 0x40000)) || exec setarch "$(uname -m)" --addr-no-randomize "$0" "$@"
measure=$1
host=$2
session=$3
shift 3
mkdir -p "$session"
session=$(cd "$session" && pwd)
. "$(cd "$(dirname "$0")/../../tests/e2e/win32" && pwd)/wine_desktop.sh"
start_wine_desktop "$session"
mkdir -p "$(dirname "$kivo_ini")"
printf '[Settings]\r\n0=Button 1:  {F5}\r\n1=Button 2:  a\r\n2=Button 3:  {Enter}\r\n3=Button 4:  \r\n' >"$kivo_ini"

# Of every thread of the host's Wine process: nanoseconds on a CPU, and voluntary context
# switches, that is how often it woke.
host_usage() {
  awk '{ ns += $1 } END { printf "%d ", ns }' /proc/"$host_pid"/task/*/schedstat
  cat /proc/"$host_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'
}

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
# The measuring program marks the idle period; Kivo's wake-ups and memory are read from here.
wine "$measure" "$(winepath -w "$host")" "$@" | while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    @idle-begins)
      host_pid=$(pgrep -f '^[^ ]*kivo-e2e-host\.exe' | head -n1)
      before=$(host_usage)
      ;;
    @idle-ends*)
      read -r seconds bare_cpu <<<"${line#@idle-ends }"
      read -r ns switches <<<"$(host_usage)"
      read -r ns_before switches_before <<<"$before"
      awk -v cpu="$((ns - ns_before))" -v woke="$((switches - switches_before))" -v s="$seconds" -v bare="$bare_cpu" \
        'BEGIN {
          printf "  Kivo CPU        %7.3f %% of one core   (target < %.3f %%, a tenth of the bare loop)\n", cpu / s / 1e7, bare / 10
          printf "  Kivo wake-ups   %7.1f /s   (target < 5; voluntary context switches, all threads)\n", woke / s
        }'
      echo "resident memory of the host's Wine process (Linux side):"
      awk '/^VmRSS|^VmHWM/ { printf "  %-15s %7.1f MB\n", $1, $2 / 1024 }' "/proc/$host_pid/status"
      ;;
    *) echo "$line" ;;
  esac
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
