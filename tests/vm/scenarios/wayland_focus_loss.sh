# The focus moves from Kivo's window to wev while the user holds a key: a held button types
# into wev, and the key, let go there, assigns nothing when Kivo's window is in front again.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
start_keyboard keyboard
start_wayland_kivo '0=Button 1:  {F5}' '1=Button 2:  b'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"'
start_wev
select_wayland_button pad 1
to_front kivo
pad keyboard press KEY_F8
check captures_the_key_held_in_front wait_until 'grep -qx "0=Button 1:  {F8}" "$ini"'
to_front wev
pad keyboard release KEY_F8
pad pad press 1
check held_button_types_into_the_new_window wait_until '[ "$(wev_keys 1 F8)" -ge 5 ]'
pad pad release 1
wev_last_released F8
select_in_front pad 2
close_wayland_kivo
check closing_keeps_it grep -qx '0=Button 1:  {F8}' "$ini"
check a_key_let_go_elsewhere_assigns_nothing grep -qx '1=Button 2:  b' "$ini"
