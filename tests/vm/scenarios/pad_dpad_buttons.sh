# A pad whose D-pad the kernel reports as four buttons (BTN_DPAD_*), as hid-sony does a PS3 pad's
# and hid-nintendo a Switch pad's: the D-pad types the arrows all the same, and, being no buttons
# of Kivo's, not the selected button's key.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
start_xvfb
start_pad dpad dpad-buttons
start_kivo '0=Button 1:  {F5}'
start_receiver
select_button dpad 1
check_pad_in_use dpad "Kivo test pad with D-pad buttons"
check dpad_types_no_assigned_key [ "$(presses F5)" -eq 0 ]
