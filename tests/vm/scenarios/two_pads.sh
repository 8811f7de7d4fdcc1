# Two gamepads: Kivo reads the first; the second's buttons, and unplugging it, change nothing.
start_xvfb
start_gamepad first 4 0666
start_gamepad second 4 0666
start_kivo '0=Button 1:  {F5}'
start_receiver
select_button first 1
pad second press 1
sleep 0.5
check second_gamepad_is_not_read [ "$(presses_during F5 2)" -eq 0 ]
pad second release 1
pad first press 1
sleep 0.5
pad second unplug
sleep 0.5
check first_types_after_second_unplugged [ "$(presses_during F5 2)" -gt 0 ]
pad first release 1
