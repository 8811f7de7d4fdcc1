# With two layouts, us and de, and the user switched to the second one with the switch key of
# their own keyboard, a key of that keyboard pressed in Kivo's window is assigned as what it types
# on de, and the button types it back on de into a native Wayland window. Kivo learns that de is
# in use only from the keys of its own window: had it kept to us, the ü key would be saved as [
# and typed as bracketleft, and ü and ß would not arrive.
chmod 0666 /dev/uinput
# Caps Lock switches the layout, a key no compositor here binds to anything else.
xkb_options=grp:caps_toggle
start_wayland us,de
start_gamepad pad 2 0666
start_keyboard keyboard
# q is on the same key on both layouts, so that selecting a button types it whichever is in use.
start_wayland_kivo '0=Button 1:  q' '1=Button 2:  q'
wait_until 'wayland_input "Kivo virtual keyboard" && wayland_input "Kivo test keyboard"'
# Kivo's window first, as KWin gives the keyboard to a window once it shows: had it shown after
# wev, it would take the keys tapped for wev.
to_front kivo
start_wev

# tapped KEY KEYSYM: KEY of the user's own keyboard, tapped with wev in front until it types KEYSYM.
tapped() {
  local before
  before=$(wev_keys 1 "$2")
  pad keyboard press "$1"
  pad keyboard release "$1"
  wait_until "[ \"\$(wev_keys 1 $2)\" -gt $before ]"
}

check us_first tapped KEY_Y y
pad keyboard press KEY_CAPSLOCK
pad keyboard release KEY_CAPSLOCK
check switched_to_de tapped KEY_Y z
check de_assigns_udiaeresis assigns 1 KEY_LEFTBRACE $'\xfc' udiaeresis
check de_assigns_ssharp assigns 2 KEY_MINUS $'\xdf' ssharp
