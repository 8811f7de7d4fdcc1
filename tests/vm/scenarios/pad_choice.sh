# Which joystick: a keyboard with a joystick interface but no joystick button, found first, is
# never taken. kivo --joystick takes the second of two pads by a part of its name, even though
# the pad's motion sensors and touchpad hold that name too: not plugged in, it is waited for as a
# missing joystick is, and taken up when it arrives. --list numbers the pads as --joystick does.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
load_pad_drivers
start_xvfb
start_pad keyboard keyboard-joystick
start_pad xbox xbox360
list_joysticks
check keyboard_left_out grep -q "^Left out: Kivo test keyboard with a joystick interface, .*(it has no joystick button" "$work/list"
check first_joystick_is_the_pad grep -q "^Joystick 1: Xbox 360 Controller, .*(Kivo uses this one: the first joystick)" "$work/list"

write_ini
kivo_options=(--joystick "wireless CONTROLLER")
spawn_as_user "$KIVO_BUILD/kivo" "${kivo_options[@]}" > "$work/kivo.out" 2> "$work/kivo.err"
kivo=$last
no_joystick_title() { as_user timeout "$patience" xdotool search --sync --name '^Kivo v.* - no joystick$' > /dev/null; }
check chosen_pad_missing_is_said no_joystick_title
check chosen_pad_missing_on_stderr grep -q 'no joystick matches --joystick wireless CONTROLLER' "$work/kivo.err"
start_pad ds4 ds4
start_receiver
check_pad_in_use ds4 "Sony Computer Entertainment Wireless Controller"
pad xbox pov 9000
check first_pad_not_read none_after_mark Right
pad xbox pov 65535

list_joysticks --joystick 2
check second_by_number grep -q "^Joystick 2: Sony Computer Entertainment Wireless Controller, .*(Kivo uses this one: --joystick 2)" "$work/list"
