# An assignment made with the real joystick is saved as it is made, and SIGTERM (a logout)
# while its key is still down keeps it.
start_xvfb
start_gamepad pad 4 0666
start_kivo '0=Button 1:  {F5}'
focus '^Kivo v'
pad pad press 2
hold_a_moment
pad pad release 2
as_user xdotool keydown F7
check saves_the_new_assignment_at_once wait_until 'grep -qx "1=Button 2:  {F7}" "$ini"'
kill -TERM "$kivo"
wait "$kivo"
check exits_with_success [ $? -eq 0 ]
as_user xdotool keyup F7
check keeps_the_new_assignment grep -qx '1=Button 2:  {F7}' "$ini"
check keeps_the_others grep -qx '0=Button 1:  {F5}' "$ini"
