# Capture on Wayland: with Kivo's window in front, a gamepad button and then a key on the user's
# own keyboard assign that key, and closing the window saves it.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
start_keyboard keyboard
start_wayland_kivo '0=Button 1:  {F5}'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"' 180
to_front kivo
pad pad press 2
sleep 1
pad pad release 2
pad keyboard press KEY_F7
sleep 0.5
pad keyboard release KEY_F7
# Saved as it is made; the compositor may deliver the key late.
check saves_the_assignment_at_once wait_until 'grep -qx "1=Button 2:  {F7}" "$ini"' 60
close_wayland_kivo
check closing_keeps_it grep -qx '1=Button 2:  {F7}' "$ini"
check keeps_the_others grep -qx '0=Button 1:  {F5}' "$ini"
