# An assignment made with the real joystick is saved when Kivo is ended with SIGTERM.
start_xvfb
start_gamepad pad 4 0666
start_kivo '0=Button 1:  {F5}'
focus '^Kivo v'
pad pad press 2
sleep 1
pad pad release 2
as_user xdotool keydown F7
sleep 1
as_user xdotool keyup F7
sleep 0.5
kill -TERM "$kivo"
wait "$kivo"
check exits_with_success [ $? -eq 0 ]
ini=/home/$VM_USER/.config/kivo/kivo.ini
check saves_the_new_assignment grep -qx '1=Button 2:  {F7}' "$ini"
check keeps_the_others grep -qx '0=Button 1:  {F5}' "$ini"
