# On the German layout and then the French one, characters and keys assigned to buttons arrive
# in a native Wayland window as those characters; Kivo follows sway's change of layout. KWin
# takes its layout from kxkbrc when it starts, so it runs the German half only.
chmod 0666 /dev/uinput
start_wayland de
start_gamepad pad 4 0666
start_wayland_kivo '0=Button 1:  q' '1=Button 2:  {z}' '2=Button 3:  '$'\xe9' '3=Button 4:  {;}'
wait_until 'wayland_input "Kivo virtual keyboard"'
start_wev

# types B KEYSYM: button B, held until KEYSYM arrives in wev.
types() {
  select_wayland_button pad "$1"
  local before
  before=$(wev_keys 1 "$2")
  pad pad press "$1"
  wait_until "[ \"\$(wev_keys 1 $2)\" -gt $before ]"
  local arrived=$?
  pad pad release "$1"
  return $arrived
}

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

[ "$COMPOSITOR" = sway ] || exit 0
as_user timeout 10 swaymsg input type:keyboard xkb_layout fr > /dev/null
check fr_q types 1 q
check fr_z types 2 z
check fr_eacute types 3 eacute
check fr_semicolon types 4 semicolon
