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
  # Latest first, so Kivo goes before the X server it is connected to.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [ -s "$work/kivo.err" ]; then
    echo "kivo's standard error:"
    cat "$work/kivo.err"
  fi
  if [ -s "$work/sway.log" ]; then
    echo "the end of sway's log:"
    tail -n 15 "$work/sway.log"
  fi
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

# Waits up to $2 seconds (default 30) for a command to succeed. The limit is on the clock, as a
# command such as swaymsg may itself take half a second under TCG.
wait_until() {
  local deadline=$(($(now_ms) + ${2:-30} * 1000))
  until eval "$1"; do
    [ "$(now_ms)" -lt "$deadline" ] || { echo "waited in vain for: $1"; return 1; }
    sleep 0.1
  done
}

# For scenarios that need devices as udev announces them; SDL then finds joysticks through it.
# udevd stays for the rest of the boot, so such scenarios come last.
start_udevd() {
  [ -x /lib/systemd/systemd-udevd ] || skip_scenario "systemd-udevd is not installed (Debian's udev)"
  pgrep -x systemd-udevd > /dev/null && return
  /lib/systemd/systemd-udevd --daemon
  udevadm trigger
  udevadm settle
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
  wait_until '[ -s "$work/display" ]' 60 || return 1
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

# start_kivo [INI_LINE...]: Kivo as the user, with these assignments in its kivo.ini.
start_kivo() {
  as_user mkdir -p "/home/$VM_USER/.config/kivo"
  printf '[Settings]\n' > "$work/kivo.ini"
  printf '%s\n' "$@" >> "$work/kivo.ini"
  as_user cp "$work/kivo.ini" "/home/$VM_USER/.config/kivo/kivo.ini"
  spawn_as_user "$KIVO_BUILD/kivo" > "$work/kivo.out" 2> "$work/kivo.err"
  kivo=$last
  as_user timeout 60 xdotool search --sync --name '^Kivo v' > /dev/null
}

start_receiver() {
  spawn_as_user "$KIVO_BUILD/tests/vm/kivo-test-receiver" > "$work/keys"
  as_user timeout 60 xdotool search --sync --name '^kivo-test-receiver$' > /dev/null
}

focus() { as_user timeout 30 xdotool search --name "$1" windowfocus --sync; }

# Selects button B the way a person does: pressed with Kivo's window in front.
select_button() {
  focus '^Kivo v'
  pad "$1" press "$2"
  sleep 1
  pad "$1" release "$2"
  focus '^kivo-test-receiver$'
  sleep 1
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

# How many presses of a key arrive in the given number of seconds.
presses_during() {
  local before
  before=$(presses "$1")
  sleep "$2"
  echo $(($(presses "$1") - before))
}

# Every time a thread of the process went to sleep and was woken.
wake_ups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ { sum += $2 } END { print sum }'; }

running() { kill -0 "$1" 2>/dev/null; }

# A headless sway as the user, on the devices udev announces, keyboards on layout $1 (us).
start_sway() {
  command -v sway > /dev/null || skip_scenario "sway is not installed (Debian's sway)"
  command -v seatd > /dev/null || skip_scenario "seatd is not installed (Debian's seatd)"
  command -v wev > /dev/null || skip_scenario "wev is not installed (Debian's wev)"
  start_udevd
  SEATD_VTBOUND=0 spawn seatd -u "$VM_USER" 2> "$work/seatd.log"
  wait_until '[ -S /run/seatd.sock ]' || return 1
  printf 'input type:keyboard xkb_layout %s\n' "${1:-us}" > "$work/sway.config"
  user_env+=(LIBSEAT_BACKEND=seatd WLR_BACKENDS=headless,libinput WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman)
  spawn_as_user sway -c "$work/sway.config" > "$work/sway.log" 2>&1
  wait_until "ls /run/user/$VM_UID/sway-ipc.*.sock > /dev/null 2>&1" 60 || return 1
  user_env+=(WAYLAND_DISPLAY=wayland-1 "SWAYSOCK=$(ls /run/user/"$VM_UID"/sway-ipc.*.sock)")
}

# Whether sway shows a window whose app_id (Wayland) or class (X11) ends in this name; Kivo's
# app_id is its reverse-DNS desktop file name.
sway_window() { as_user timeout 10 swaymsg -t get_tree | grep -Eiq "\"(app_id|class)\": \"[^\"]*$1\""; }
sway_focus() { as_user timeout 10 swaymsg "[app_id=\"$1\"] focus" > /dev/null; }
sway_input() { as_user timeout 10 swaymsg -t get_inputs | grep -q "\"name\": \"$1\""; }

# Selects button B the way a person does under sway: pressed with Kivo's window in front.
select_sway_button() {
  sway_focus kivo
  pad "$1" press "$2"
  sleep 1
  pad "$1" release "$2"
  sway_focus wev
  sleep 1
}

# Kivo as the user under sway, with these assignments; started by sway, as a desktop starts
# programs, so that it gets sway's DISPLAY for XWayland too.
start_sway_kivo() {
  as_user mkdir -p "/home/$VM_USER/.config/kivo"
  printf '[Settings]\n' > "$work/kivo.ini"
  printf '%s\n' "$@" >> "$work/kivo.ini"
  as_user cp "$work/kivo.ini" "/home/$VM_USER/.config/kivo/kivo.ini"
  install -o "$VM_UID" -m 0644 /dev/null "$work/kivo.err"
  as_user timeout 10 swaymsg exec "$KIVO_BUILD/kivo 2> $work/kivo.err" > /dev/null
  wait_until 'pgrep -u "$VM_UID" -x kivo > /dev/null' 60 || return 1
  # sway's exec leaves the process group of the scenario, so it is ended by its pid.
  kivo=$(pgrep -u "$VM_UID" -x kivo)
  track "$kivo"
  wait_until 'sway_window kivo' 60
}

# Closes Kivo's window as a person would, which saves the assignments to $ini.
ini=/home/$VM_USER/.config/kivo/kivo.ini
close_sway_kivo() {
  as_user timeout 10 swaymsg '[app_id="kivo"] kill' > /dev/null
  wait_until '! running "$kivo"'
}

# The native Wayland receiver: wev, in front, recording every key.
start_wev() {
  spawn_as_user stdbuf -oL wev -f wl_keyboard:key > "$work/keys"
  wait_until 'sway_window wev' 60
}

# Presses and releases of a keysym that wev saw.
wev_keys() { grep -A1 "state: $1 " "$work/keys" | grep -c "sym: $2 "; }

cd "$work" || exit 1
# shellcheck source=/dev/null
source "$1"
[ "$failures" -eq 0 ]
