# The session ends right after an assignment made in it: Kivo's Wayland connection breaks and
# Kivo ends, and kivo.ini holds the assignment all the same.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
start_keyboard keyboard
start_wayland_kivo '0=Button 1:  {F5}' '2=Button 3:  x'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"'
select_in_front pad 3
pressed=$(now_ms)
pad keyboard press KEY_F7
wait_until 'kivo_saw_key 65 1'
figure "a key reached Kivo's window on $COMPOSITOR within $(($(now_ms) - pressed)) ms"
pad keyboard release KEY_F7
end_wayland_session
check kivo_ends_with_the_session wait_until '! running "$kivo"'
check keeps_the_new_assignment grep -qx '2=Button 3:  {F7}' "$ini"
check keeps_the_others grep -qx '0=Button 1:  {F5}' "$ini"
