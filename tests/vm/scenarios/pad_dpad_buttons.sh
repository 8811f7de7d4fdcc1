# A pad whose D-pad the kernel reports as four buttons (BTN_DPAD_*), as hid-sony does a PS3 pad's
# and hid-nintendo a Switch pad's: the D-pad types the arrows all the same.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
start_xvfb
start_pad dpad dpad-buttons
start_kivo
start_receiver
check_pad_in_use dpad "Kivo test pad with D-pad buttons"
