# Capture on Wayland: with Kivo's window in front, a gamepad button and then a key on the user's
# own keyboard assign that key, saved as it is made. Closing the window keeps it, and so does
# ending Kivo as logging out does while the key's release is still on its way.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
start_keyboard keyboard
start_wayland_kivo '0=Button 1:  {F5}' '1=Button 2:  x'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"'
select_in_front pad 2
pad keyboard press KEY_F7
check saves_the_assignment_at_once wait_until 'grep -qx "1=Button 2:  {F7}" "$ini"'
# A person lets go of the key before closing the window (sway); a logout (SIGTERM) does not wait.
if [ "$COMPOSITOR" = sway ]; then
  pad keyboard release KEY_F7
  wait_until 'kivo_saw_key 65 0'
fi
close_wayland_kivo
pad keyboard release KEY_F7
check closing_keeps_it grep -qx '1=Button 2:  {F7}' "$ini"
check keeps_the_others grep -qx '0=Button 1:  {F5}' "$ini"
