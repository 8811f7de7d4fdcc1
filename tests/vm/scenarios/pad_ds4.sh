# A DualShock 4 made by hid-sony from its report descriptor: the pad, its motion sensors and its
# touchpad are devices of their own, the companions made first. Kivo reads the pad, its D-pad types
# the arrows, and its triggers and second stick at rest type nothing.
source "$(dirname "${BASH_SOURCE[0]}")/../pad_checks.sh"
load_pad_drivers
start_xvfb
start_pad ds4 ds4
start_kivo
start_receiver
check_pad_in_use ds4 "Sony Computer Entertainment Wireless Controller"
