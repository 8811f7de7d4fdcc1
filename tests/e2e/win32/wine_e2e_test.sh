#!/usr/bin/env bash
# Kivo end to end under Wine: kivo-e2e-host.exe (the real Form1, SendInput, GetKeyboardState
# and GetForegroundWindow, a scripted joystick) and a key-logging window of another Wine
# process, on a private desktop of its own.
#   wine_e2e_test.sh HOST.exe RECEIVER.exe SESSION_FOLDER KIVO.exe
set -euo pipefail
# Wine programs start, and start others, with the address layout cmake/wine-run.sh explains.
((0x$(cat /proc/self/personality) & 0x40000)) || exec setarch "$(uname -m)" --addr-no-randomize "$0" "$@"
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
  echo "FAIL (at ${SECONDS} s): $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok (at ${SECONDS} s): $*"; }

# The first line starting with $2 in file $1.
line_in() { grep -a -m1 "^$2" "$1" 2>/dev/null | tr -d '\r'; }
wait_line() { wait_for line_in "$@"; }

start_host() {
  rm -f "$session/host.in" "$session/host.out"
  mkfifo "$session/host.in"
  wine "$host" "$@" <"$session/host.in" >"$session/host.out" 2>"$session/host.err" &
  host_pid=$!
  exec 4>"$session/host.in"
  kivo_window=$(wait_line "$session/host.out" "ready ") || { echo "wine_e2e_test: the host did not start" >&2; exit 1; }
  kivo_window=${kivo_window#ready }
}
send() { echo "$1" >&4; }
answers() { grep -ac '^end' "$session/host.out" || true; }
answered_after() { [ "$(answers)" -gt "$1" ]; }
# The host's latest answer to "labels": the lines after the last but one "end".
answer() {
  local before
  before=$(answers)
  send labels
  wait_for answered_after "$before" || return 1
  tr -d '\r' <"$session/host.out" | awk -v skip="$before" '/^end$/ { ends++; next } ends == skip { print }'
}
labels() { answer | grep -a '^label '; }
label_is() { [ "$(labels | sed -n "$1p")" = "$2" ]; }
label_bold() { labels | sed -n "$1p" | grep -aq "^label $1 1 "; }
# A button pressed on the joystick, held until Kivo shows it took it, and let go.
select_button() {
  local selected=0
  send "press $1"
  wait_for label_bold "$1" || selected=1
  send "release $1"
  return $selected
}
# Key $1 pressed in Kivo's window, held until button $2 shows it as its key, and let go.
assign_key() {
  local shown=0
  xdotool keydown "$1"
  wait_for label_is "$2" "label $2 1 Button $2:  {$1}" || shown=1
  xdotool keyup "$1"
  return $shown
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# The window manager asked until it makes the window the active one; a window just mapped
# may not be managed yet.
made_active() { is_active "$1" || { xdotool windowactivate "$1" >/dev/null 2>&1 || true; false; }; }
# Wine hands the keyboard to a window of its own some time after the window manager made it
# active; only then do the keys of SendInput go there.
kivo_in_front() { answer | grep -aqx 'front 1'; }
receiver_focused() { [ "$(grep -E '^(focus|blur)' "$session/receiver.log" | tail -n1 | tr -d '\r')" = focus ]; }
# Which half of coming to the front did not happen: the window manager's or Wine's.
front_state() {
  echo "active X window $(xdotool getactivewindow 2>/dev/null || echo none), Kivo's $kivo_window," \
    "the receiver's $receiver_window, which last had $(grep -aE '^(focus|blur)' "$session/receiver.log" | tail -n1 | tr -d '\r')"
}
activate_kivo() {
  wait_for made_active "$kivo_window" && wait_for kivo_in_front || fail "Kivo's window did not come to the front ($(front_state))"
}
activate_receiver() {
  wait_for made_active "$receiver_window" && wait_for receiver_focused ||
    fail "the receiver did not come to the front ($(front_state))"
}
switcher_shown() { xdotool search --onlyvisible --classname '^OPENBOX_FOCUS_CYCLE_POPUP$' >/dev/null 2>&1; }

# Key lines the receiver logged after line $1 of its log.
keys_since() { tail -n +"$(($1 + 1))" "$session/receiver.log" | tr -d '\r' | grep -E '^(down|up) ' || true; }
log_length() { wc -l <"$session/receiver.log"; }
presses_since() { [ "$(keys_since "$1" | awk -v key="$2" '$1 == "down" && $2 == key' | wc -l)" -ge "$3" ]; }
# A held key repeats as further downs; its last line says whether it is up.
all_released_since() {
  [ -z "$(keys_since "$1" | awk '{ last[$2] = $1 } END { for (k in last) if (last[k] == "down") print k }')" ]
}
# "DOWN N": in how many of N frames a game reading GetAsyncKeyState once a frame saw key $1 down.
frames_down() { wine "$receiver" --frames "$1" "$2" </dev/null 2>&1 | tr -d '\r' | awk '$1 == "frames" { print $2, $3 }'; }
# Sends $1, waits until $3 presses of virtual key $2 reached the receiver, with $5 has a game read
# the key for $5 frames into `frames`, sends $4 and waits until every key that went down came up.
# Sets `start` to where the receiver's log was, and `held` to the key lines since then, read once
# so that every count is of the same keys.
hold_until_presses() {
  start=$(log_length)
  send "$1"
  wait_for presses_since "$start" "$2" "$3" || true
  # Held as long as the game reads, a person's hold of a measured length.
  [ -z "${5:-}" ] || frames=$(frames_down "$2" "$5")
  send "$4"
  wait_for all_released_since "$start" || true
  held=$(keys_since "$start")
}
# How often the host's threads went to sleep and woke again in one second.
wake_ups_in_a_second() {
  local before after
  before=$(cat /proc/"$host_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }')
  sleep 1 # the span measured
  after=$(cat /proc/"$host_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }')
  echo $((after - before))
}
# Kivo asleep: the ticks have stopped, as they do once nothing has changed for a while.
kivo_sleeps() { [ "$(wake_ups_in_a_second)" -lt 100 ]; }
kivo_polls() { [ "$(wake_ups_in_a_second)" -ge 200 ]; }

start_receiver() {
  wine "$receiver" >"$session/receiver.log" 2>&1 &
  receiver_pid=$!
  receiver_window=$(wait_line "$session/receiver.log" "ready ") || { echo "wine_e2e_test: no receiver" >&2; exit 1; }
  receiver_window=${receiver_window#ready }
}
host_ended() { timeout "$wait_deadline" tail --pid="$host_pid" -f /dev/null || true; }
start_receiver

start_host --buttons 4
activate_kivo
select_button 3 && pass "button 3 selected in Kivo's window" || fail "button 3 not selected: $(labels)"

assign_key F5 3 && pass "F5 typed in Kivo's window assigns {F5}" ||
  fail "after F5: '$(labels | sed -n 3p)'"

activate_receiver
hold_until_presses "press 3" 116 5 "release 3"
f5=$(echo "$held" | awk '$1 == "down" && $2 == 116' | wc -l)
f5_scanned=$(echo "$held" | awk '$1 == "down" && $2 == 116 && $3 == 63 && $4 == 0' | wc -l)
# More than a few keys from one press prove one per tick.
[ "$f5" -ge 5 ] && pass "$f5 F5 while button 3 was held" || fail "only $f5 F5 while button 3 was held"
[ "$f5" -gt 0 ] && [ "$f5_scanned" -eq "$f5" ] && pass "every F5 carries scan code 63" ||
  fail "$f5_scanned of $f5 F5 carry scan code 63"

hold_until_presses "axes 65535 32767" 39 3 "axes 32767 32767" 120
read -r down of <<<"$frames"
# A stroke each tick is down and up again at once: a game's frames seldom find it down.
[ "$((down * 2))" -lt "$of" ] && pass "typed: a game saw Right down in $down of $of frames" ||
  fail "typed: a game saw Right down in $down of $of frames"
right=$(echo "$held" | awk '$1 == "down" && $2 == 39' | wc -l)
right_scanned=$(echo "$held" | awk '$1 == "down" && $2 == 39 && $3 == 77 && $4 == 1' | wc -l)
[ "$right" -ge 3 ] && pass "$right Right while the stick was pushed right" || fail "only $right Right for the stick"
[ "$right" -gt 0 ] && [ "$right_scanned" -eq "$right" ] && pass "every Right carries scan code 77, extended" ||
  fail "$right_scanned of $right Right carry scan code 77 with the extended flag"

wait_for kivo_sleeps && pass "Kivo sleeps once idle, the receiver in front" ||
  fail "$(wake_ups_in_a_second) wake-ups in 1 s of idle; polling wakes a thousand times"
hold_until_presses "press 3" 116 5 "release 3"
f5=$(echo "$held" | awk '$1 == "down" && $2 == 116' | wc -l)
[ "$f5" -ge 5 ] && pass "after the idle, $f5 F5 while button 3 was held" || fail "after the idle, only $f5 F5"

# The D-pad (winmm's point of view) wakes a sleeping Kivo and types both arrows of a diagonal.
wait_for kivo_sleeps || fail "Kivo did not fall asleep before the D-pad"
hold_until_presses "pov 22500" 40 3 "pov 65535"
left=$(echo "$held" | awk '$1 == "down" && $2 == 37' | wc -l)
down=$(echo "$held" | awk '$1 == "down" && $2 == 40' | wc -l)
[ "$down" -ge 3 ] && [ "$left" -ge "$down" ] && pass "$left Left and $down Down while the D-pad was held down-left" ||
  fail "only $left Left and $down Down for the D-pad held down-left"

# Only its window coming to the front can wake a sleeping Kivo for a key pressed there.
wait_for kivo_sleeps || fail "Kivo did not fall asleep again"
activate_kivo
assign_key F6 3 && pass "Kivo's window coming to the front wakes it to assign {F6}" ||
  fail "after F6 in Kivo's window brought to the front: '$(labels | sed -n 3p)'"

all_released_since 0 && pass "every key pressed was released" || fail "keys left down: $(keys_since 0 | tail -n 4)"

# The close box, as the window manager asks: saves and ends with status 0. (Not Alt+F4: with
# a button selected, a key pressed in Kivo's window is an assignment.)
wmctrl -i -c "$kivo_window"
status=0
host_ended
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
activate_receiver
wait_for kivo_polls && pass "a joystick that never reported keeps Kivo polling" ||
  fail "only $(wake_ups_in_a_second) wake-ups in 1 s for a joystick that never reported"
rm -f "$ini"
wine wineboot --end-session </dev/null >/dev/null 2>&1 || true
host_ended
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
activate_kivo
select_button 2 || fail "button 2 not selected: $(labels)"
assign_key F8 2 || fail "F8 not assigned: $(labels | sed -n 2p)"
kill -9 "$host_pid"
exec 4>&-
if tr -d '\r' <"$ini" | grep -qx '1=Button 2:  {F8}'; then
  pass "kill -9 right after an assignment keeps 1=Button 2:  {F8}"
else
  fail "kill -9 right after an assignment lost it: $(cat "$ini" 2>/dev/null)"
fi

# Keys held down as a keyboard holds them: a game that reads the key once a frame sees it down
# while the stick is pushed, and up once it is let go.
printf '[Settings]\r\nHoldKeys=1\r\n' >"$ini"
start_host --buttons 4
activate_receiver
hold_until_presses "axes 65535 32767" 39 1 "axes 32767 32767" 120
read -r down of <<<"$frames"
[ "$((down * 100))" -ge "$((of * 95))" ] && pass "held: a game saw Right down in $down of $of frames" ||
  fail "held: a game saw Right down in only $down of $of frames"
all_released_since "$start" && [ "$(frames_down 39 3)" = "0 3" ] && pass "held: Right is up once the stick is let go" ||
  fail "held: Right is still down after the stick was let go: $(keys_since "$start" | tail -n 2)"
kill -9 "$host_pid"
exec 4>&-

# kivo.ini edited while Kivo runs, by an editor that writes a new file over it: the window shows
# the edit, and neither the next assignment nor closing undoes it.
start_host --buttons 4
printf '[Settings]\r\n1=Button 2:  {F9}\r\n; by hand\r\n' >"$ini.edited"
mv -f "$ini.edited" "$ini"
wait_for label_is 2 "label 2 0 Button 2:  {F9}" && pass "an edit made while Kivo runs shows in its window" ||
  fail "the edit does not show: $(labels | sed -n 2p)"
activate_kivo
select_button 3 || fail "button 3 not selected: $(labels)"
assign_key F7 3 || fail "F7 not assigned: $(labels | sed -n 3p)"
wmctrl -i -c "$kivo_window"
host_ended
exec 4>&-
if tr -d '\r' <"$ini" | grep -qx '1=Button 2:  {F9}' && tr -d '\r' <"$ini" | grep -qx '2=Button 3:  {F7}' &&
  tr -d '\r' <"$ini" | grep -qx '; by hand'; then
  pass "the assignment and closing keep the edit"
else
  fail "the edit was not kept: $(cat "$ini" 2>/dev/null)"
fi

# A button that types Enter, held while Quit or Clear is clicked, answers neither question: the
# Enters it typed into Kivo's own window just before are read there, the question stays, and
# the receiver gets the key once it is in front again.
question_in_front() {
  question=$(xdotool getactivewindow 2>/dev/null) && [ "$question" != "$kivo_window" ] &&
    [ "$question" != "$receiver_window" ]
}
# Quit and Clear, in the window's top left corner.
for asked in "Quit 48" "Clear 148"; do
  read -r command x <<<"$asked"
  printf '[Settings]\r\n0=Button 1:  {Enter}\r\n' >"$ini"
  start_host --buttons 4
  activate_kivo
  select_button 1 || fail "button 1 not selected: $(labels)"
  send "press 1"
  xdotool mousemove --window "$kivo_window" "$x" 24 click 1
  # A person holds the button through the question.
  wait_for question_in_front && sleep 1 || question=
  if [ -n "$question" ] && kill -0 "$host_pid" 2>/dev/null && xdotool getwindowname "$question" >/dev/null 2>&1; then
    pass "the held Enter did not answer the question of $command"
    activate_receiver
    start=$(log_length)
    wait_for presses_since "$start" 13 1 && pass "back in the receiver, the held button types Enter again" ||
      fail "no Enter reached the receiver after the question of $command"
    send "release 1"
  else
    fail "the held Enter answered the question of $command, or it asked none ($(front_state))"
  fi
  kill -9 "$host_pid" 2>/dev/null || true
  exec 4>&-
done

# Nor does it dismiss the box that says an assignment could not be saved.
printf '[Settings]\r\n0=Button 1:  x\r\n' >"$ini"
chmod a-w "$ini"
start_host --buttons 4
activate_kivo
select_button 1 || fail "button 1 not selected: $(labels)"
send "press 1"
# Kivo reads the keyboard on its ticks: a key only tapped can fall between two of them.
xdotool keydown Return
wait_for question_in_front || fail "the failed save showed no box ($(front_state))"
xdotool keyup Return
sleep 1 # a person holding the button through the box
kill -0 "$host_pid" 2>/dev/null && xdotool getwindowname "$question" >/dev/null 2>&1 &&
  pass "the held Enter did not dismiss the box of the failed save" ||
  fail "the held Enter dismissed the box of the failed save"
kill -9 "$host_pid" 2>/dev/null || true
exec 4>&-
chmod u+w "$ini"

# Only the user's keys assign: not what Kivo types into its own window while a button is held
# or the stick is pushed (a character off the layout included), nor the Alt and Tab that bring
# its window back to the front.
# On a German layout, which each Wine program takes from the X server as it starts, the ü key
# assigns a caption showing ü, and the button types that key back.
restart_receiver() {
  kill "$receiver_pid" 2>/dev/null || true
  wait "$receiver_pid" 2>/dev/null || true
  start_receiver
}
setxkbmap -display "$DISPLAY" de
restart_receiver
start_host --buttons 4
activate_kivo
select_button 1 || fail "button 1 not selected on a German layout: $(labels)"
xdotool keydown udiaeresis
wait_for label_is 1 "$(printf 'label 1 1 Button 1:  \xfc')" && pass "the German layout's ü key assigns ü" ||
  fail "after the ü key: '$(labels | sed -n 1p | od -c | head -n 2)'"
xdotool keyup udiaeresis
activate_receiver
# The ü key itself, pressed in the receiver: its virtual key and scan code as Wine gives them.
start=$(log_length)
xdotool key udiaeresis
key_arrived() { [ -n "$(keys_since "$start")" ]; }
wait_for key_arrived || fail "the ü key did not reach the receiver"
read -r _ u_key u_scan _ < <(keys_since "$start" | head -n 1)
hold_until_presses "press 1" "$u_key" 3 "release 1"
u=$(echo "$held" | awk -v key="$u_key" -v scan="$u_scan" '$1 == "down" && $2 == key && $3 == scan' | wc -l)
others=$(echo "$held" | awk -v key="$u_key" '$1 == "down" && $2 != key' | wc -l)
[ "$u" -ge 3 ] && [ "$others" -eq 0 ] && pass "the button types the ü key ($u_key, scan code $u_scan) back, $u times" ||
  fail "the button typed $u ü keys ($u_key, scan code $u_scan) and $others others: $(echo "$held" | head -n 4)"
wmctrl -i -c "$kivo_window"
host_ended
exec 4>&-
setxkbmap -display "$DISPLAY" us
restart_receiver

printf '[Settings]\r\n0=Button 1:  x\r\n1=Button 2:  +a\r\n2=Button 3:  {F5}\r\n3=Button 4:  \x91\r\n' >"$ini"
start_host --buttons 4
activate_kivo
for button in 1 2 4 3; do
  select_button "$button" || fail "button $button not selected: $(labels)"
done
send "axes 65535 32767"
sleep 0.3 # a person's push of the stick
send "axes 32767 32767"
activate_receiver
# Alt is held, as a person holds it, until the window manager shows its switcher: let go at
# once, a busy window manager sees Alt up before it takes the keyboard, and its switcher stays.
xdotool keydown alt key Tab
wait_for switcher_shown || fail "the window manager's switcher did not show for Alt+Tab"
xdotool keyup alt
wait_for kivo_in_front || fail "Alt+Tab did not bring Kivo's window back"
select_button 2 || fail "button 2 not selected after Alt+Tab"
wmctrl -i -c "$kivo_window"
host_ended
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
kivo_windows() { xdotool search "$@" --name '^Kivo v1\.0( - no joystick)?$' 2>/dev/null || true; }
# Which programs show those windows, for a failure to name them.
window_programs() { for window in $(kivo_windows); do ps -o pid=,args= -p "$(xdotool getwindowpid "$window")"; done | tr '\n' ';'; }
# Shown, so that the window manager manages them: it ignores a close for a window it does not.
kivo_windows_at_least() { [ "$(kivo_windows --onlyvisible | wc -l)" -ge "$1" ]; }
wait_for kivo_windows_at_least 1
first=$(kivo_windows | head -1)
# Mapped and in front, as it comes at start, so that nothing of its start is left to come.
wait_for made_active "$first"
activate_receiver
appdata=$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
kivo_path=$(winepath -w "$kivo_exe")
# kivo.exe with %APPDATA% $1, for `cmd /v:on /c`, which then writes "status" and the exit status
# Windows gave it: Wine kills a process whose Unix side is still ending a moment after its last
# thread, as on a busy machine, so the status of `wine` itself may say killed.
kivo_with_appdata() { echo "set APPDATA=$1&& $kivo_path \"C:\some file.txt\" & echo status !errorlevel!"; }
exited_0() { grep -qw '^status 0' "$1"; }
# The window manager, busy elsewhere, is held until Kivo has done all it does to come to the
# front: the second start has ended and Wine has taken the keyboard from the receiver.
blurs() { grep -c '^blur' "$session/receiver.log" || true; }
blurred_since() { [ "$(blurs)" -gt "$1" ]; }
blurs_before=$(blurs)
kill -STOP "$window_manager_pid"
timeout "$wait_deadline" wine cmd /v:on /c "$(kivo_with_appdata "${appdata^^}")" </dev/null >"$session/same.out" 2>&1 || true
wait_for blurred_since "$blurs_before" || true
kill -CONT "$window_manager_pid"
wait_for is_active "$first" || true
exited_0 "$session/same.out" &&
  grep -q "already running with .*; its window is brought to the front instead" "$session/same.out" &&
  [ -n "$first" ] && is_active "$first" && pass "a second kivo.exe brings the first to the front" ||
  fail "second kivo.exe: active $(xdotool getactivewindow), first '$first', $(cat "$session/same.out")"
wine cmd /v:on /c "$(kivo_with_appdata 'C:\users\Public')" </dev/null >"$session/other.out" 2>&1 &
wait_for kivo_windows_at_least 2 || true
windows=$(kivo_windows | wc -l)
[ "$windows" -eq 2 ] && pass "another %APPDATA%: a second Kivo runs" ||
  fail "another %APPDATA%: $windows windows, $(cat "$session/other.out"); processes: $(ps -eo pid,stat,etime,args | grep -i "kivo\.exe\|cmd" | grep -v grep | tr "\n" ";")"
for window in $(kivo_windows); do wmctrl -i -c "$window"; done

# Ten first starts at once with one settings file, the machine busy with all of them: one Kivo
# runs, and each other start says so and succeeds, whether or not the first answered in time.
rm -f "$session"/ten-*
kivo_windows_at_most() { [ "$(kivo_windows | wc -l)" -le "$1" ]; }
# The windows are counted: those above must be gone.
wait_for kivo_windows_at_most 0 || fail "the Kivos above kept their windows after the close: $(window_programs)"
ten=$(kivo_with_appdata 'C:\users\Public\ten')
for i in $(seq 10); do
  (
    wine cmd /v:on /c "$ten" </dev/null >"$session/ten-$i.out" 2>&1 || true
    touch "$session/ten-$i.ended"
  ) &
done
ten_ended() { find "$session" -name 'ten-*.ended' | wc -l; }
nine_ended() { [ "$(ten_ended)" -ge 9 ]; }
wait_for nine_ended || true
wait_for kivo_windows_at_least 1 || true
ended=$(ten_ended)
windows=$(kivo_windows | wc -l)
succeeded=$(grep -lw '^status 0' "$session"/ten-*.out 2>/dev/null | wc -l) || true
said=$(grep -l "already running" "$session"/ten-*.out 2>/dev/null | wc -l) || true
[ "$ended" -eq 9 ] && [ "$succeeded" -eq 9 ] && [ "$said" -eq 9 ] && [ "$windows" -eq 1 ] &&
  pass "ten kivo.exe at once: one runs, nine say it already does" ||
  fail "ten kivo.exe at once: $ended ended, $succeeded with status 0, $said said so, $windows windows ($(window_programs)); $(cat "$session"/ten-*.out | tr -d '\r' | sort | uniq -c)"
for window in $(kivo_windows); do wmctrl -i -c "$window"; done

if [ "$failures" -ne 0 ]; then
  echo "wine_e2e_test: $failures failed; logs in $session" >&2
  exit 1
fi
echo "wine_e2e_test: all passed"
