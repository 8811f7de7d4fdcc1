# What the scenarios on real pads share, sourced by them after scenario.sh's helpers: the drivers
# the kernel makes the pads with, where each pad's devices are, and what its D-pad types.

# hid-sony makes a DualShock 4 on Debian 12's kernel (hid-playstation from 6.2 on), hid-generic a
# plain USB gamepad; nothing loads them here but this, as udevd does not run.
load_pad_drivers() {
  modprobe -a uhid hid-sony hid-playstation hid-generic || skip_scenario "the uhid and HID pad drivers cannot be loaded"
}

# start_pad NAME SHAPE: a pad of kivo-test-pad's, its devices made and at rest, its node order logged.
start_pad() {
  start_device "$1" kivo-test-pad "$2"
  figure "nodes $2 made, in order: $(grep '^node' "$work/$1.out" | cut -d' ' -f2- | sed 's|/dev/input/||' | paste -sd ';')"
}

# The node of pad NAME whose device is called DEVICE.
pad_node() { grep "^node [^ ]* $2\$" "$work/$1.out" | cut -d' ' -f2; }

# Kivo --list as the user, with these options, in the log too.
list_joysticks() {
  as_user "$KIVO_BUILD/kivo" --list "$@" > "$work/list"
  sed 's/^/kivo --list: /' "$work/list"
}

# The D-pad of pad NAME types an arrow on every tick while held, both arrows of a diagonal, and
# nothing once let go.
check_dpad() {
  mark
  pad "$1" pov 9000
  check "$1_dpad_types_right" wait_until '[ "$(presses_after_mark Right)" -ge 5 ]'
  pad "$1" pov 65535
  mark
  pad "$1" pov 22500
  wait_until '[ "$(presses_after_mark Down)" -ge 5 ]'
  pad "$1" pov 65535
  check "$1_dpad_diagonal_types_left_too" [ "$(presses_after_mark Left)" -ge 5 ]
  check "$1_nothing_once_the_dpad_is_let_go" none_after_mark '[A-Za-z0-9_]*'
}

# Kivo on the pad NAME whose device is called DEVICE: it reads that device and no other of the
# pad's, --list with the options Kivo was started with ($kivo_options) shows it as the one Kivo
# uses, under the name SDL gives it (LISTED, DEVICE when not given), and it types nothing while
# the sticks and triggers rest; then the D-pad's checks.
kivo_options=()
check_pad_in_use() {
  local used
  used=$(pad_node "$1" "$2")
  check "$1_pad_is_the_device_read" wait_until 'kivo_has_open "$used"'
  local node
  for node in $(grep '^node' "$work/$1.out" | cut -d' ' -f2); do
    [ "$node" = "$used" ] || check "$1_companion_${node##*/}_not_read" bash -c "! ls -l /proc/$kivo/fd | grep -q ' $node\$'"
  done
  list_joysticks "${kivo_options[@]}"
  check "$1_listed_as_used" grep -q "^Joystick [0-9]*: ${3:-$2}, .*$used (Kivo uses this one" "$work/list"
  focus '^kivo-test-receiver$'
  check "$1_nothing_at_rest" none_after_mark '[A-Za-z0-9_]*'
  check_dpad "$1"
}
