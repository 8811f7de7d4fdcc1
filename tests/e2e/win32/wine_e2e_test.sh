#!/usr/bin/env bash
# Kivo end to end under Wine: kivo-e2e-host.exe (the real Form1, SendInput, GetKeyboardState
# and GetForegroundWindow, a scripted joystick) and a key-logging window of another Wine
# process, on a private desktop of its own.
#   wine_e2e_test.sh HOST.exe RECEIVER.exe SESSION_FOLDER KIVO.exe
set -euo pipefail
host=$1
receiver=$2
session=$3
kivo_exe=$4
mkdir -p "$session"
session=$(cd "$session" && pwd)
# shellcheck source=tests/e2e/win32/wine_desktop.sh
. "$(dirname "$0")/wine_desktop.sh"
start_wine_desktop "$session"
ini=$kivo_ini
rm -f "$ini"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Waits for a line starting with $2 in file $1; prints it.
wait_line() {
  for _ in $(seq 300); do
    if line=$(tr -d '\r' <"$1" 2>/dev/null | grep -m1 "^$2"); then
      echo "$line"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

start_host() {
  rm -f "$session/host.in" "$session/host.out"
  mkfifo "$session/host.in"
  wine "$host" "$@" <"$session/host.in" >"$session/host.out" 2>"$session/host.err" &
  host_pid=$!
  wine_desktop_pids+=($host_pid)
  exec 4>"$session/host.in"
  kivo_window=$(wait_line "$session/host.out" "ready ") || { echo "wine_e2e_test: the host did not start" >&2; exit 1; }
  kivo_window=${kivo_window#ready }
}
send() { echo "$1" >&4; }
labels() {
  local before
  before=$(grep -c '^end' "$session/host.out" || true)
  send labels
  for _ in $(seq 50); do
    [ "$(grep -c '^end' "$session/host.out" || true)" -gt "$before" ] && break
    sleep 0.1
  done
  # The latest answer: the lines after the last but one "end".
  tr -d '\r' <"$session/host.out" | awk -v skip="$before" '/^end$/ { ends++; next } ends == skip && /^label / { print }'
}
activate() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
  sleep 0.3
}
# Key lines the receiver logged after line $1 of its log.
keys_since() { tail -n +"$(($1 + 1))" "$session/receiver.log" | tr -d '\r' | grep -E '^(down|up) '; }
log_length() { wc -l <"$session/receiver.log"; }
# Button 3 held for 100 ms, then time for its last keys to arrive.
hold_button_3() {
  send "press 3"
  sleep 0.1
  send "release 3"
  sleep 0.3
}
# How often the host's threads went to sleep and woke again in one second.
wake_ups_in_a_second() {
  local before after
  before=$(cat /proc/"$host_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }')
  sleep 1
  after=$(cat /proc/"$host_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }')
  echo $((after - before))
}

start_receiver() {
  wine "$receiver" >"$session/receiver.log" 2>&1 &
  receiver_pid=$!
  wine_desktop_pids+=($receiver_pid)
  receiver_window=$(wait_line "$session/receiver.log" "ready ") || { echo "wine_e2e_test: no receiver" >&2; exit 1; }
  receiver_window=${receiver_window#ready }
}
start_receiver

start_host --buttons 4
activate "$kivo_window"
send "press 3"
sleep 0.1
send "release 3"
[ "$(labels | sed -n 3p)" = "label 3 1 " ] && pass "button 3 selected in Kivo's window" || fail "button 3 not selected: $(labels)"

xdotool keydown F5
sleep 0.1
xdotool keyup F5
sleep 0.2
label3=$(labels | sed -n 3p)
[ "$label3" = "label 3 1 Button 3:  {F5}" ] && pass "F5 typed in Kivo's window assigns {F5}" || fail "after F5: '$label3'"

activate "$receiver_window"
start=$(log_length)
hold_button_3
f5=$(keys_since "$start" | awk '$1 == "down" && $2 == 116' | wc -l)
f5_scanned=$(keys_since "$start" | awk '$1 == "down" && $2 == 116 && $3 == 63 && $4 == 0' | wc -l)
# A loaded machine stretches the ticks; more than a few keys still proves one per tick, not one per press.
[ "$f5" -ge 5 ] && pass "$f5 F5 in 100 ms of button 3" || fail "only $f5 F5 in 100 ms of button 3"
[ "$f5" -gt 0 ] && [ "$f5_scanned" -eq "$f5" ] && pass "every F5 carries scan code 63" ||
  fail "$f5_scanned of $f5 F5 carry scan code 63"

start=$(log_length)
send "axes 65535 32767"
sleep 0.05
send "axes 32767 32767"
sleep 0.3
right=$(keys_since "$start" | awk '$1 == "down" && $2 == 39' | wc -l)
right_scanned=$(keys_since "$start" | awk '$1 == "down" && $2 == 39 && $3 == 77 && $4 == 1' | wc -l)
[ "$right" -ge 3 ] && pass "$right Right in 50 ms of the stick pushed right" || fail "only $right Right for the stick"
[ "$right" -gt 0 ] && [ "$right_scanned" -eq "$right" ] && pass "every Right carries scan code 77, extended" ||
  fail "$right_scanned of $right Right carry scan code 77 with the extended flag"

sleep 0.5
idle=$(wake_ups_in_a_second)
[ "$idle" -lt 100 ] && pass "$idle wake-ups in 1 s of idle, the receiver in front" ||
  fail "$idle wake-ups in 1 s of idle; polling wakes a thousand times"
start=$(log_length)
hold_button_3
f5=$(keys_since "$start" | awk '$1 == "down" && $2 == 116' | wc -l)
[ "$f5" -ge 5 ] && pass "after the idle, $f5 F5 in 100 ms of button 3" || fail "after the idle, only $f5 F5"

# Only its window coming to the front can wake a sleeping Kivo for a key pressed there.
sleep 0.5
activate "$kivo_window"
xdotool keydown F6
sleep 0.1
xdotool keyup F6
sleep 0.2
label3=$(labels | sed -n 3p)
[ "$label3" = "label 3 1 Button 3:  {F6}" ] && pass "Kivo's window coming to the front wakes it to assign {F6}" ||
  fail "after F6 in Kivo's window brought to the front: '$label3'"

unbalanced=$(keys_since 0 | awk '{ held[$2] += ($1 == "down") ? 1 : -1 } END { for (k in held) if (held[k]) print k }')
[ -z "$unbalanced" ] && pass "every key pressed was released" || fail "keys left down: $unbalanced"

# The close box, as the window manager asks: saves and ends with status 0. (Not Alt+F4: with
# a button selected, a key pressed in Kivo's window is an assignment.)
wmctrl -i -c "$kivo_window"
status=0
timeout 20 tail --pid="$host_pid" -f /dev/null || true
wait "$host_pid" || status=$?
exec 4>&-
[ "$status" -eq 0 ] && pass "closing ends with status 0" || fail "closing ended with status $status"
if [ -f "$ini" ] && tr -d '\r' <"$ini" | grep -qx '2=Button 3:  {F6}'; then
  pass "closing saved 2=Button 3:  {F6}"
else
  fail "closing did not save 2=Button 3:  {F6}: $(cat "$ini" 2>/dev/null)"
fi

# The end of the desktop session: the file is gone while Kivo runs, and is written again. This
# joystick never reports as raw input would, so Kivo polls it.
start_host --buttons 4 --unwatched
[ "$(labels | sed -n 3p)" = "label 3 0 Button 3:  {F6}" ] && pass "the assignment is read back" ||
  fail "not read back: $(labels | sed -n 3p)"
activate "$receiver_window"
polling=$(wake_ups_in_a_second)
[ "$polling" -ge 200 ] && pass "a joystick that never reported keeps Kivo polling: $polling wake-ups in 1 s" ||
  fail "only $polling wake-ups in 1 s for a joystick that never reported"
rm -f "$ini"
wine wineboot --end-session </dev/null >/dev/null 2>&1 || true
timeout 20 tail --pid="$host_pid" -f /dev/null || true
exec 4>&-
if [ -f "$ini" ] && tr -d '\r' <"$ini" | grep -qx '2=Button 3:  {F6}'; then
  pass "the end of the session saved 2=Button 3:  {F6}"
else
  fail "the end of the session did not save: $(cat "$ini" 2>/dev/null)"
fi
# The end of the session may have ended the receiver as well.
kill -0 "$receiver_pid" 2>/dev/null || start_receiver

# A kill leaves nothing to save at the end: an assignment is saved as it is made.
start_host --buttons 4
activate "$kivo_window"
send "press 2"
sleep 0.1
send "release 2"
xdotool keydown F8
sleep 0.1
xdotool keyup F8
for _ in $(seq 50); do
  [ "$(labels | sed -n 2p)" = "label 2 1 Button 2:  {F8}" ] && break
done
kill -9 "$host_pid"
exec 4>&-
if tr -d '\r' <"$ini" | grep -qx '1=Button 2:  {F8}'; then
  pass "kill -9 right after an assignment keeps 1=Button 2:  {F8}"
else
  fail "kill -9 right after an assignment lost it: $(cat "$ini" 2>/dev/null)"
fi

# Only the user's keys assign: not what Kivo types into its own window while a button is held
# or the stick is pushed (a character off the layout included), nor the Alt and Tab that bring
# its window back to the front.
printf '[Settings]\r\n0=Button 1:  x\r\n1=Button 2:  +a\r\n2=Button 3:  {F5}\r\n3=Button 4:  \x91\r\n' >"$ini"
start_host --buttons 4
activate "$kivo_window"
for button in 1 2 4 3; do
  send "press $button"
  sleep 0.1
  send "release $button"
  sleep 0.1
done
send "axes 65535 32767"
sleep 0.3
send "axes 32767 32767"
activate "$receiver_window"
xdotool keydown alt key Tab keyup alt
sleep 0.5
[ "$(xdotool getactivewindow)" = "$kivo_window" ] || fail "Alt+Tab did not bring Kivo's window back"
send "press 2"
sleep 0.1
send "release 2"
sleep 0.2
wmctrl -i -c "$kivo_window"
timeout 20 tail --pid="$host_pid" -f /dev/null || true
exec 4>&-
expected=$(printf '0=Button 1:  x\n1=Button 2:  +a\n2=Button 3:  {F5}\n3=Button 4:  \x91')
saved=$(tr -d '\r' <"$ini" | grep -a '^[0-3]=')
[ "$saved" = "$expected" ] && pass "Kivo's own keys and Alt+Tab leave every caption as it was" ||
  fail "captions changed: $(echo "$saved" | od -c | head -5)"

# kivo.exe started again, with a file dropped on it, brings the Kivo that runs to the front: with
# %APPDATA% in capitals it is the same settings file, with another %APPDATA% another Kivo runs.
# Wine gives a program started from Linux the prefix's own %APPDATA%, so cmd.exe sets it. These
# Kivos find no joystick under Wine, and say so in their titles.
wine "$kivo_exe" </dev/null >"$session/kivo.out" 2>&1 &
wine_desktop_pids+=($!)
first=""
for _ in $(seq 100); do
  first=$(xdotool search --name '^Kivo v1\.0( - no joystick)?$' 2>/dev/null | head -1) && [ -n "$first" ] && break
  sleep 0.2
done
activate "$receiver_window"
appdata=$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
kivo_with_appdata() { echo "set APPDATA=$1&& $(winepath -w "$kivo_exe") \"C:\some file.txt\""; }
status=0
timeout 30 wine cmd /c "$(kivo_with_appdata "${appdata^^}")" </dev/null >"$session/same.out" 2>&1 || status=$?
# Wine raises a window through a minimise and a restore, which the X server sees in its time.
for _ in $(seq 50); do
  [ "$(xdotool getactivewindow)" = "$first" ] && break
  sleep 0.1
done
[ "$status" -eq 0 ] && grep -q "already running with .*; its window is brought to the front instead" "$session/same.out" && [ -n "$first" ] &&
  [ "$(xdotool getactivewindow)" = "$first" ] && pass "a second kivo.exe brings the first to the front" ||
  fail "second kivo.exe: status $status, active $(xdotool getactivewindow), first '$first', $(cat "$session/same.out")"
wine cmd /c "$(kivo_with_appdata 'C:\users\Public')" </dev/null >"$session/other.out" 2>&1 &
wine_desktop_pids+=($!)
windows=0
for _ in $(seq 200); do
  windows=$(xdotool search --name '^Kivo v1\.0( - no joystick)?$' 2>/dev/null | wc -l) && [ "$windows" -ge 2 ] && break
  sleep 0.2
done
[ "$windows" -eq 2 ] && pass "another %APPDATA%: a second Kivo runs" ||
  fail "another %APPDATA%: $windows windows, $(cat "$session/other.out"); processes: $(ps -eo pid,stat,etime,args | grep -i "kivo\.exe\|cmd" | grep -v grep | tr "\n" ";")"
for window in $(xdotool search --name '^Kivo v1\.0( - no joystick)?$'); do wmctrl -i -c "$window"; done

if [ "$failures" -ne 0 ]; then
  echo "wine_e2e_test: $failures failed; logs in $session" >&2
  exit 1
fi
echo "wine_e2e_test: all passed"
