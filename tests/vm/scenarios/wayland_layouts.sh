# On the German layout and then the French and the Russian one, characters and keys assigned to
# buttons arrive in a native Wayland window as those characters; Kivo follows sway's change of
# layout. KWin takes its layout from kxkbrc when it starts, so it runs the German half only. A key
# of the user's own keyboard that types a character of the layout is assigned and typed back on
# that key. Two layouts at once, switched with a key, are wayland_two_layouts.sh.
chmod 0666 /dev/uinput
start_wayland de
start_gamepad pad 5 0666
start_keyboard keyboard
start_wayland_kivo '0=Button 1:  q' '1=Button 2:  {z}' '2=Button 3:  '$'\xe9' '3=Button 4:  {;}' \
  '4=Button 5:  {;}'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"'
start_wev

check de_q types 1 q
check de_z types 2 z
check de_semicolon types 4 semicolon
# German keyboards type é only through a dead key, which Kivo does not compose: it says so, once
# however long the button is held.
to_front kivo
pad pad press 3
wait_until 'grep -q "cannot type" "$work/kivo.err"'
pad pad release 3
to_front wev
pad pad press 3
hold_a_moment
pad pad release 3
check de_has_no_eacute [ "$(wev_keys 1 eacute)" -eq 0 ]
check says_once_what_it_cannot_type [ "$(grep -c 'cannot type' "$work/kivo.err")" -eq 1 ]
check de_assigns_udiaeresis assigns 5 KEY_LEFTBRACE $'\xfc' udiaeresis
check de_assigns_odiaeresis assigns 5 KEY_SEMICOLON $'\xf6' odiaeresis
check de_assigns_ssharp assigns 5 KEY_MINUS $'\xdf' ssharp

if [ "$COMPOSITOR" = sway ]; then
  as_user timeout 10 swaymsg input type:keyboard xkb_layout fr > /dev/null
  check fr_q types 1 q
  check fr_z types 2 z
  check fr_eacute types 3 eacute
  check fr_semicolon types 4 semicolon
  check fr_assigns_ampersand assigns 5 KEY_1 '{&}' ampersand
  check fr_assigns_eacute assigns 5 KEY_2 $'\xe9' eacute
  as_user timeout 10 swaymsg input type:keyboard xkb_layout ru > /dev/null
  check ru_assigns_ef assigns 4 KEY_A '{SC01E}' Cyrillic_ef
  check ru_assigns_shorti assigns 4 KEY_Q '{SC010}' Cyrillic_shorti
fi
