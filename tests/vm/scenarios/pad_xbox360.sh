# The evdev shape xpad gives an Xbox 360 pad (its D-pad on ABS_HAT0X and ABS_HAT0Y, its triggers
# on ABS_Z and ABS_RZ), through uinput: the D-pad types the arrows, the triggers and the second
# stick at rest nothing.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
start_xvfb
start_pad xbox xbox360
start_kivo
start_receiver
# SDL knows the pad by its ids, and names it itself.
check_pad_in_use xbox "Microsoft X-Box 360 pad" "Xbox 360 Controller"
