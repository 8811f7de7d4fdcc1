# As on a desktop, udev announces the gamepad and SDL finds it through udev: a held button types.
start_udevd
start_playing
pad pad press 1
sleep 0.5
check held_button_types_through_udev [ "$(presses_during F5 2)" -ge 10 ]
pad pad release 1
