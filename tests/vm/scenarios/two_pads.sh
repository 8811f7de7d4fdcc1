# Two gamepads: Kivo reads the first; the second's buttons, and unplugging it, change nothing.
start_xvfb
start_gamepad first 4 0666
start_gamepad second 4 0666
start_kivo '0=Button 1:  {F5}'
start_receiver
select_button first 1
pad second press 1
check second_gamepad_is_not_read none_after_mark F5
pad second release 1
pad first press 1
wait_until '[ "$(presses F5)" -gt 0 ]'
pad second unplug
mark
check first_types_after_second_unplugged wait_until '[ "$(presses_after_mark F5)" -ge 10 ]'
pad first release 1
