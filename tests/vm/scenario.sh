#!/bin/bash
# Runs one scenario script in the virtual machine as root, with the helpers scenarios share:
# programs run as the ordinary user, a private Xvfb, uinput gamepads, the key receiver, Kivo,
# checks and figures. Root starts services itself; everything a user would run goes through
# as_user. Exits 0 when every check passed, 1 when one failed, 77 after skip_scenario.
#   scenario.sh SCENARIO_FILE   (KIVO_BUILD, VM_USER and VM_UID in the environment)
set -u
work=$(mktemp -d)
chmod 0755 "$work"
failures=0
pids=()
# What the user's programs get; a scenario may add to it (WAYLAND_DISPLAY, for example).
user_env=(
  HOME="/home/$VM_USER" USER="$VM_USER" PATH=/usr/local/bin:/usr/bin:/bin
  XDG_RUNTIME_DIR="/run/user/$VM_UID" XDG_CONFIG_HOME="/home/$VM_USER/.config"
  # Without udevd, SDL finds joysticks by watching /dev/input itself.
  SDL_JOYSTICK_DISABLE_UDEV=1
)

user_prefix() { prefix=(setpriv --reuid="$VM_UID" --regid="$VM_UID" --init-groups env -i "${user_env[@]}"); }
as_user() {
  user_prefix
  "${prefix[@]}" "$@"
}

# Keeps a background program's pid for the end of the scenario.
track() { pids+=("$1"); }

# Starts a program in the background, as root or as the user, and leaves its pid in $last
# (a function run with & would leave the pid of a subshell instead). It keeps the standard
# input the function was given, which & alone would replace with /dev/null.
spawn() {
  "$@" <&0 &
  last=$!
  track "$last"
}
spawn_as_user() {
  user_prefix
  spawn "${prefix[@]}" "$@"
}

finish() {
  if [ "$failures" -gt 0 ] && [ -n "${compositor_process:-}" ]; then
    echo "the input devices, and those $compositor_process has open:"
    grep -H . /sys/class/input/event*/device/name
    ls -l "/proc/$(pgrep -n -u "$VM_UID" -x "$compositor_process")/fd" | grep -o '/dev/.*'
    echo "the keys wev saw, by keysym and state (1 pressed, 0 released), and its last lines:"
    grep -A1 'state: ' "$work/keys" | grep -Eo 'state: [01]|sym: [^ ]+' | paste -d ' ' - - | sort | uniq -c
    tail -n 6 "$work/keys"
  fi
  # Latest first, so Kivo goes before the X server it is connected to.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [ -s "$work/kivo.err" ]; then
    echo "kivo's standard error, without its Wayland messages:"
    grep -v '^\[ *[0-9.]*\] ' "$work/kivo.err"
    [ "$failures" -gt 0 ] && echo "the last keyboard events of Kivo's window:" &&
      grep -E 'wl_keyboard@[0-9]+\.(key|enter|leave)\(' "$work/kivo.err" | tail -n 6
  fi
  [ -n "${session:-}" ] && end_desktop
  if [ "$failures" -gt 0 ] && [ -f "/home/$VM_USER/.config/kivo/kivo.ini" ]; then
    echo "kivo.ini at the end:"
    cat "/home/$VM_USER/.config/kivo/kivo.ini"
  fi
  local log
  for log in xvfb compositor; do
    [ -s "$work/$log.log" ] && { echo "the end of $log.log:"; tail -n 15 "$work/$log.log"; }
  done
  return 0
}
trap finish EXIT
trap 'exit 1' TERM

check() {
  local name=$1
  shift
  if "$@"; then
    echo "check $name: pass"
  else
    echo "check $name: FAIL ($*)"
    failures=$((failures + 1))
  fi
}

figure() { echo "figure $*"; }

# What both typing paths measure alike: typing_figures PATH LATENCY_MS KEYS_PER_SECOND.
typing_figures() {
  figure "button-to-key latency after idling, $1: $2 ms (TCG: relative only)"
  figure "keys per second while a button is held, $1: $3"
}

skip_scenario() {
  echo "skip: $1"
  exit 77
}

now_ms() { date +%s%3N; }

# How long any wait lasts before it fails, in seconds: generous, as a desktop's compositor under
# emulation takes a minute and more to start or to take in a new device, and delivers keys
# seconds late. A wait ends as soon as what it waits for has happened.
patience=180

# Waits until a command succeeds, for at most $patience seconds. The limit is on the clock, as a
# command such as swaymsg may itself take half a second under TCG.
wait_until() {
  local deadline=$(($(now_ms) + patience * 1000))
  until eval "$1"; do
    if [ "$(now_ms)" -ge "$deadline" ]; then
      echo "waited in vain for: $1"
      failures=$((failures + 1))
      return 1
    fi
    sleep 0.1
  done
}

# For scenarios that need devices as udev announces them; SDL then finds joysticks through it.
# udevd stays for the rest of the boot, so such scenarios come last.
start_udevd() {
  [ -x /lib/systemd/systemd-udevd ] || skip_scenario "systemd-udevd is not installed (Debian's udev)"
  if ! systemctl -q is-active systemd-udevd.service; then
    systemctl start systemd-udevd.service
    udevadm trigger
    udevadm settle
  fi
  # udev's rules give input devices to group input; without logind, nobody adds the seat's ACL.
  gpasswd -a "$VM_USER" input > /dev/null
  local variable kept=()
  for variable in "${user_env[@]}"; do
    [ "$variable" = SDL_JOYSTICK_DISABLE_UDEV=1 ] || kept+=("$variable")
  done
  user_env=("${kept[@]}")
}

start_xvfb() {
  spawn_as_user Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3> "$work/display" 2> "$work/xvfb.log"
  wait_until '[ -s "$work/display" ]' || return 1
  user_env+=(DISPLAY=":$(cat "$work/display")")
}

# start_device NAME PROGRAM ARGUMENT...: a uinput device made by a test program, which reads
# its commands from the pipe NAME.in (pad NAME COMMAND) and prints "node PATH" to NAME.out.
start_device() {
  mkfifo "$work/$1.in"
  # Held open for reading and writing, so neither end waits for the other to open it.
  exec {fd}<> "$work/$1.in"
  spawn "$KIVO_BUILD/tests/vm/$2" "${@:3}" < "$work/$1.in" > "$work/$1.out"
  wait_until "grep -q '^node' '$work/$1.out'"
  # Where udev runs, programs started next find the device only once udev has announced it.
  if pgrep -x systemd-udevd > /dev/null; then udevadm settle; fi
}
# start_gamepad NAME BUTTONS MODE: a uinput gamepad, its node given MODE.
start_gamepad() { start_device "$1" kivo-test-gamepad "$2" "$3"; }
# The user's own keyboard, driven by "pad NAME press KEY_F7" and "pad NAME release KEY_F7".
start_keyboard() { start_device "$1" kivo-test-keyboard; }
pad() { echo "${*:2}" > "$work/$1.in"; }
gamepad_node() { grep '^node' "$work/$1.out" | tail -n 1 | cut -d' ' -f2; }

# write_ini [INI_LINE...]: the user's kivo.ini, with these assignments.
write_ini() {
  as_user mkdir -p "/home/$VM_USER/.config/kivo"
  printf '[Settings]\n' > "$work/kivo.ini"
  printf '%s\n' "$@" >> "$work/kivo.ini"
  as_user cp "$work/kivo.ini" "/home/$VM_USER/.config/kivo/kivo.ini"
}

# start_kivo [INI_LINE...]: Kivo as the user, with these assignments in its kivo.ini.
start_kivo() {
  write_ini "$@"
  spawn_as_user "$KIVO_BUILD/kivo" > "$work/kivo.out" 2> "$work/kivo.err"
  kivo=$last
  as_user timeout "$patience" xdotool search --sync --name '^Kivo v' > /dev/null
}

start_receiver() {
  spawn_as_user "$KIVO_BUILD/tests/vm/kivo-test-receiver" > "$work/keys"
  as_user timeout "$patience" xdotool search --sync --name '^kivo-test-receiver$' > /dev/null
}

focus() { as_user timeout "$patience" xdotool search --name "$1" windowfocus --sync; }

# A person's press of a button lasts a moment; Kivo reads it on a tick within it.
hold_a_moment() { sleep 1; }

# Selects button B the way a person does: pressed with Kivo's window in front.
select_button() {
  focus '^Kivo v'
  pad "$1" press "$2"
  hold_a_moment
  pad "$1" release "$2"
  focus '^kivo-test-receiver$'
}

# The usual start: Xvfb, gamepad "pad", Kivo with F5 on button 1, the receiver in front and
# button 1 selected.
start_playing() {
  start_xvfb
  start_gamepad pad 4 0666
  start_kivo '0=Button 1:  {F5}'
  start_receiver
  select_button pad 1
}

presses() { grep -c "^press $1 " "$work/keys"; }

# Types F12 into the receiver and waits until it has arrived. Kivo's keys go through XSync, so
# every key Kivo typed before the mark arrives before it.
mark() {
  local before
  before=$(presses F12)
  as_user xdotool key F12
  wait_until '[ "$(presses F12)" -gt "$before" ]'
}
presses_after_mark() { tac "$work/keys" | sed '/^press F12 /,$d' | grep -c "^press $1 "; }
# No key matching the pattern arrives after a mark for two seconds: an absence can only be
# measured over a while.
none_after_mark() {
  mark
  sleep 2
  [ "$(presses_after_mark "$1")" -eq 0 ]
}

# Every time a thread of the process went to sleep and was woken.
wake_ups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ { sum += $2 } END { print sum }'; }

# Whether Kivo woke at most once in a second, measured over that second: waited for, the moment
# Kivo has stopped ticking and sleeps on its devices.
asleep() {
  local before
  before=$(wake_ups "$kivo")
  sleep 1
  [ $(($(wake_ups "$kivo") - before)) -le 1 ]
}

# Whether Kivo holds this device node open; an unplugged node shows as deleted until it is closed.
kivo_has_open() { ls -l "/proc/$kivo/fd" 2> /dev/null | grep -Eq " $1( \(deleted\))?\$"; }

# A process that has ended but was not yet waited for counts as ended.
running() { [[ $(ps -o stat= -p "$1") == [^Z]* ]]; }

# The Wayland compositor the scenario runs on ($COMPOSITOR: sway, kwin or mutter), as the user,
# on the devices udev announces, with keyboards on layout $1 (us; "us,de" for two) and, given
# "x11" as $2, XWayland. sway and KWin also take the xkb options in $xkb_options, such as the key
# that switches between two layouts.
xkb_options=
start_wayland() {
  command -v wev > /dev/null || skip_scenario "wev is not installed (Debian's wev)"
  : >> "$work/keys"
  touch "$work/started"
  case $COMPOSITOR in
    sway) start_sway "${1:-us}" ;;
    kwin) start_kwin "${1:-us}" "${2:-}" ;;
    mutter) start_mutter "${1:-us}" "${2:-}" ;;
    gnome) start_gnome "${1:-us}" "${2:-}" ;;
    *) skip_scenario "no compositor named '$COMPOSITOR'" ;;
  esac
}

start_sway() {
  command -v sway > /dev/null || skip_scenario "sway is not installed (Debian's sway)"
  command -v seatd > /dev/null || skip_scenario "seatd is not installed (Debian's seatd)"
  start_udevd
  SEATD_VTBOUND=0 spawn seatd -u "$VM_USER" 2> "$work/seatd.log"
  wait_until '[ -S /run/seatd.sock ]' || return 1
  # The configuration's lines are read whole; swaymsg would take a comma for the end of a command.
  printf 'input type:keyboard xkb_layout %s\n' "$1" > "$work/sway.config"
  [ -n "$xkb_options" ] && printf 'input type:keyboard xkb_options %s\n' "$xkb_options" >> "$work/sway.config"
  user_env+=(LIBSEAT_BACKEND=seatd WLR_BACKENDS=headless,libinput WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman)
  compositor_process=sway
  spawn_as_user sway -c "$work/sway.config" > "$work/compositor.log" 2>&1
  wait_until "ls /run/user/$VM_UID/sway-ipc.*.sock > /dev/null 2>&1" || return 1
  user_env+=(WAYLAND_DISPLAY=wayland-1 "SWAYSOCK=$(ls /run/user/"$VM_UID"/sway-ipc.*.sock)")
}

start_kwin() {
  command -v kwin_wayland > /dev/null || skip_scenario "kwin_wayland is not installed (Debian's kwin-wayland)"
  as_user mkdir -p "/home/$VM_USER/.config"
  # KWin takes the options only with ResetOldOptions.
  printf '[Layout]\nLayoutList=%s\nUse=true\nOptions=%s\nResetOldOptions=true\n' "$1" "$xkb_options" |
    as_user tee "/home/$VM_USER/.config/kxkbrc" > /dev/null
  compositor_process=kwin_wayland
  start_desktop kivo-kwin dbus-run-session -- kwin_wayland --socket kivo-kwin ${2:+--xwayland}
}

start_mutter() {
  command -v mutter > /dev/null || skip_scenario "mutter is not installed (Debian's mutter)"
  # Only GNOME Shell changes mutter's keymap.
  [ "$1" = us ] || skip_scenario "mutter on its own keeps the us layout"
  compositor_process=mutter
  local x11=--no-x11
  [ -n "$2" ] && x11=
  start_desktop kivo-mutter dbus-run-session -- mutter --wayland $x11 --display-server --wayland-display kivo-mutter
}

start_gnome() {
  command -v gnome-shell > /dev/null || skip_scenario "gnome-shell is not installed (Debian's gnome-shell)"
  [ "$1" = us ] || skip_scenario "GNOME Shell is tried on the us layout only"
  compositor_process=gnome-shell
  local x11=--no-x11
  [ -n "$2" ] && x11=
  start_desktop kivo-gnome dbus-run-session -- gnome-shell --wayland $x11 --display-server --wayland-display kivo-gnome ||
    return 1
  # GNOME Shell opens its overview once it has started, and there no window has the keyboard:
  # Escape leaves it. With XWayland it did not say it had started within a patience under
  # emulation, and what runs on XWayland here needs no window in front.
  [ -n "$2" ] && return 0
  wait_until 'grep -q "GNOME Shell started" "$work/compositor.log"' || return 1
  type_key KEY_ESC
}

# Types a key on the user's own keyboard, made on first use and waited for until the compositor
# has taken it in.
type_key() {
  if [ ! -e "$work/user.in" ]; then
    start_keyboard user
    wait_until 'wayland_input "Kivo test keyboard"' || return 1
  fi
  pad user press "$1"
  pad user release "$1"
}

# A desktop's compositor, started as a display manager starts one: in a login session of the
# user's own on seat0, made the active one, so that logind hands it the screen and the input
# devices. start_desktop SOCKET COMMAND...
start_desktop() {
  # QEMU's display, as a DRM device (udev loads drivers only for devices it is told were added).
  modprobe bochs
  start_udevd
  wait_until '[ -e /dev/dri/card0 ]' || return 1
  systemctl start systemd-logind.service
  # A socket an earlier session left behind would answer no one.
  rm -f "/run/user/$VM_UID/$1" "/run/user/$VM_UID/$1.lock"
  desktop=kivo-desktop-${work##*.}
  systemd-run --quiet --unit="$desktop" --collect -p PAMName=login -p User="$VM_USER" -p TTYPath=/dev/tty2 \
    -p StandardInput=tty -p StandardOutput="file:$work/compositor.log" -p StandardError=inherit \
    -p Environment=XDG_SESSION_TYPE=wayland "${@:2}"
  local leader
  leader=$(systemctl show -p MainPID --value "$desktop")
  if ! wait_until 'session=$(session_led_by "$leader") && [ -n "$session" ]'; then
    echo "no login session led by $leader; logind's sessions and its last words:"
    loginctl list-sessions --no-legend
    for id in $(loginctl list-sessions --no-legend | awk '{ print $1 }'); do loginctl show-session -p Leader -p State -p TTY "$id" | tr '\n' ' '; echo; done
    systemctl status --no-pager "$desktop" | head -n 5
    journalctl -b --no-pager -n 15 -u systemd-logind
    return 1
  fi
  loginctl activate "$session"
  wait_until "[ -S /run/user/$VM_UID/$1 ]" || return 1
  user_env+=(WAYLAND_DISPLAY="$1")
  [ "$compositor_process" = kwin_wayland ] && [[ " ${*:2} " == *" --xwayland "* ]] && wait_for_xwayland
  [[ $compositor_process == mutter || $compositor_process == gnome-shell ]] && [[ " ${*:2} " != *" --no-x11 "* ]] && wait_for_xwayland
  return 0
}
# Asks logind once for every session, as the sessions of earlier scenarios may linger closing.
session_led_by() {
  # shellcheck disable=SC2046
  loginctl show-session -p Id -p Leader $(loginctl list-sessions --no-legend | awk '{ print $1 }') |
    awk -v leader="Leader=$1" '/^Id=/ { id = substr($0, 4) } $0 == leader { print id }'
}
end_desktop() {
  systemctl stop "$desktop" 2> /dev/null
  loginctl terminate-session "$session" 2> /dev/null
  wait_until '! pgrep -u "$VM_UID" -x "$compositor_process" > /dev/null'
}

# Ends the Wayland session as its user would: sway is told to exit, KWin is quit, and the GNOME
# session is ended through logind.
end_wayland_session() {
  case $COMPOSITOR in
    sway) as_user timeout 10 swaymsg exit > /dev/null ;;
    kwin) kill -TERM "$(pgrep -n -u "$VM_UID" -x kwin_wayland)" ;;
    mutter | gnome) loginctl terminate-session "$session" ;;
  esac
}

# The X display the compositor's XWayland opened since the scenario began.
wait_for_xwayland() {
  wait_until '[ -n "$(find /tmp/.X11-unix -name "X*" -newer "$work/started" 2> /dev/null)" ]' || return 1
  user_env+=(DISPLAY=":$(find /tmp/.X11-unix -name 'X*' -newer "$work/started" | head -n 1 | sed 's/.*X//')")
  # mutter's XWayland lets in only the holders of its cookie: this session's, as an earlier
  # session of mutter or GNOME Shell may have left its own behind.
  local cookie
  cookie=$(find /run/user/"$VM_UID" -maxdepth 1 -name '.mutter-Xwaylandauth.*' -newer "$work/started" 2> /dev/null |
    head -n 1)
  [ -n "$cookie" ] && user_env+=(XAUTHORITY="$cookie")
  return 0
}

# Whether the compositor has opened the input device of this name, which it does when it takes
# the device in.
wayland_input() {
  local device compositor
  compositor=$(pgrep -n -u "$VM_UID" -x "$compositor_process") || return 1
  for device in /sys/class/input/event*; do
    [ "$(cat "$device/device/name" 2> /dev/null)" = "$1" ] || continue
    ls -l "/proc/$compositor/fd" 2> /dev/null | grep -q " /dev/input/${device##*/}\$" && return 0
  done
  return 1
}

# Whether sway shows a window whose app_id (Wayland) or class (X11) ends in this name; Kivo's
# app_id is its reverse-DNS desktop file name.
sway_window() { as_user timeout 10 swaymsg -t get_tree | grep -Eiq "\"(app_id|class)\": \"[^\"]*$1\""; }

# Whether the keyboard's last enter or leave in this Wayland client's log (WAYLAND_DEBUG for
# Kivo, wev's own output) was an enter.
has_keyboard() { grep -Eo 'wl_keyboard[]@0-9 ]*[.]? ?(enter|leave)' "$1" | tail -n 1 | grep -q enter; }

# Brings Kivo's window or wev's to the front, and waits until it has the keyboard. sway is told
# to; the desktops have no such command here, so wev comes to the front by starting, as a new
# window gets the focus, and leaves it by ending, which gives the focus back to Kivo's window.
to_front() {
  if [ "$COMPOSITOR" = sway ]; then
    as_user timeout 10 swaymsg "[app_id=\"$1\"] focus" > /dev/null
  elif [ "$1" = wev ]; then
    start_wev
  elif [ -n "${wev:-}" ]; then
    kill "$wev" && wait "$wev"
    wev=
  fi
  if [ "$1" = wev ]; then
    wait_until 'has_keyboard "$work/keys"'
  else
    wait_until 'has_keyboard "$work/kivo.err"'
  fi
}

# Selects button B the way a person does: pressed with Kivo's window in front, and held until
# Kivo types the button's key into its own window, which it does once the button is selected.
select_in_front() {
  to_front kivo
  local typed
  typed=$(kivo_keys_typed)
  pad "$1" press "$2"
  wait_until '[ "$(kivo_keys_typed)" -gt "$typed" ]'
  pad "$1" release "$2"
}
select_wayland_button() {
  select_in_front "$@"
  to_front wev
}

# Kivo as the user in the Wayland session, with these assignments. sway starts it, as a desktop
# starts programs, so that it gets sway's DISPLAY for XWayland too.
start_wayland_kivo() {
  write_ini "$@"
  install -o "$VM_UID" -m 0644 /dev/null "$work/kivo.err"
  # Its Wayland messages tell when its window has the keyboard.
  if [ "$COMPOSITOR" != sway ]; then
    spawn_as_user env WAYLAND_DEBUG=client "$KIVO_BUILD/kivo" 2> "$work/kivo.err"
    kivo=$last
    return
  fi
  as_user timeout 10 swaymsg exec "WAYLAND_DEBUG=client $KIVO_BUILD/kivo 2> $work/kivo.err" > /dev/null
  wait_until 'pgrep -u "$VM_UID" -x kivo > /dev/null' || return 1
  # sway's exec leaves the process group of the scenario, so it is ended by its pid.
  kivo=$(pgrep -u "$VM_UID" -x kivo)
  track "$kivo"
  wait_until 'sway_window kivo'
}

# Closes Kivo's window as a person would (sway), or ends Kivo with SIGTERM as logging out does;
# either saves the assignments to $ini.
ini=/home/$VM_USER/.config/kivo/kivo.ini
close_wayland_kivo() {
  if [ "$COMPOSITOR" = sway ]; then
    as_user timeout 10 swaymsg '[app_id="kivo"] kill' > /dev/null
  else
    kill -TERM "$kivo"
  fi
  wait_until '! running "$kivo"'
}

# The native Wayland receiver: wev, recording every key and each time it gets or loses the
# keyboard, waited for until it has it.
wev_entered() { grep -c 'wl_keyboard\] enter' "$work/keys"; }
wev_left() { grep -c 'wl_keyboard\] leave' "$work/keys"; }
start_wev() {
  local entered
  entered=$(wev_entered)
  spawn_as_user stdbuf -oL wev -f wl_keyboard:key -f wl_keyboard:enter -f wl_keyboard:leave >> "$work/keys"
  wev=$last
  wait_until '[ "$(wev_entered)" -gt "$entered" ]'
}

# Presses and releases of a keysym that wev saw.
wev_keys() { grep -A1 "state: $1 " "$work/keys" | grep -c "sym: $2 "; }
# Waits until the last key wev saw is this keysym let go: a compositor under emulation may deliver
# keys seconds late (mutter does), and Kivo's last key is a release.
wev_last_released() { wait_until "grep -A1 'state: ' '$work/keys' | tail -n 2 | tr '\n' ' ' | grep -q 'state: 0 .*sym: $1 '"; }

# types B KEYSYM: button B of the gamepad "pad", held until KEYSYM arrives in wev.
types() {
  select_wayland_button pad "$1"
  local before
  before=$(wev_keys 1 "$2")
  pad pad press "$1"
  wait_until "[ \"\$(wev_keys 1 $2)\" -gt $before ]"
  local arrived=$?
  pad pad release "$1"
  return $arrived
}

# assigns B KEY CAPTION KEYSYM: button B, selected in Kivo's window, takes KEY of the user's own
# keyboard "keyboard", held until it is saved as CAPTION, and then types KEYSYM. Selecting it
# types its key into Kivo's window, so B's caption must be one the layout can type.
assigns() {
  select_in_front pad "$1"
  pad keyboard press "$2"
  wait_until "grep -qx '$(($1 - 1))=Button $1:  $3' \"\$ini\""
  local saved=$?
  pad keyboard release "$2"
  [ "$saved" -eq 0 ] || return 1
  to_front wev
  types "$1" "$4"
}

# Whether Kivo's Wayland messages show the key of this evdev code reaching its window in this
# state (1 pressed, 0 released).
kivo_saw_key() { grep -Eq "wl_keyboard@[0-9]+\.key\([0-9]+, [0-9]+, $1, $2\)" "$work/kivo.err"; }
kivo_keys_typed() { grep -Ec 'wl_keyboard@[0-9]+\.key\([0-9]+, [0-9]+, [0-9]+, 1\)' "$work/kivo.err"; }

cd "$work" || exit 1
# shellcheck source=/dev/null
source "$1"
[ "$failures" -eq 0 ]
