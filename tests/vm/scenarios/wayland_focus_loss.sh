# The focus moves from Kivo's window to wev while the user holds a key: a held button types
# into wev, and the key, let go there, assigns nothing when Kivo's window is in front again.
chmod 0666 /dev/uinput
start_sway
start_gamepad pad 4 0666
start_keyboard keyboard
start_sway_kivo '0=Button 1:  {F5}' '1=Button 2:  b'
wait_until 'sway_input "Kivo virtual keyboard" && sway_input "Kivo test keyboard"'
start_wev
select_sway_button pad 1
sway_focus kivo
pad keyboard press KEY_F8
sleep 1
sway_focus wev
pad keyboard release KEY_F8
pad pad press 1
sleep 1
pad pad release 1
check held_button_types_into_the_new_window [ "$(wev_keys 1 F8)" -ge 5 ]
sway_focus kivo
pad pad press 2
sleep 1
pad pad release 2
close_sway_kivo
check captures_the_key_held_in_front grep -qx '0=Button 1:  {F8}' "$ini"
check a_key_let_go_elsewhere_assigns_nothing grep -qx '1=Button 2:  b' "$ini"
