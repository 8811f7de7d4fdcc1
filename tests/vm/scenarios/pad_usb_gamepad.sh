# A plain USB gamepad whose D-pad is a hat switch, made by hid-generic from its report descriptor:
# its D-pad types the arrows, its triggers and second stick at rest nothing.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
load_pad_drivers
start_xvfb
start_pad usb usb-gamepad
start_kivo
start_receiver
check_pad_in_use usb "Kivo test USB gamepad"
