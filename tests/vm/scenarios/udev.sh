# As on a desktop, udev announces the gamepad and SDL finds it through udev: a held button types.
start_udevd
start_playing
pad pad press 1
check held_button_types_through_udev wait_until '[ "$(presses F5)" -ge 10 ]'
pad pad release 1
