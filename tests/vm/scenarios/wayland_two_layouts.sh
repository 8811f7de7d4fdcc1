# With two layouts, us and de, and the user switched to the second one with the switch key of
# their own keyboard, a key of that keyboard pressed in Kivo's window is assigned as what it types
# on de, and the button types it back on de into a native Wayland window. Kivo learns that de is
# in use from the keys of its own window, and on KWin at once from the desktop: had it kept to us,
# the ü key would be saved as [ and typed as bracketleft, and ü and ß would not arrive.
chmod 0666 /dev/uinput
# Caps Lock switches the layout, a key no compositor here binds to anything else.
xkb_options=grp:caps_toggle
start_wayland us,de
start_gamepad pad 3 0666
start_keyboard keyboard
# KWin publishes the layout in use on the session bus of the desktop's programs, which Kivo joins.
if [ "$COMPOSITOR" = kwin ]; then
  kwin=$(pgrep -n -u "$VM_UID" -x "$compositor_process")
  user_env+=("$(tr '\0' '\n' < "/proc/$kwin/environ" | grep '^DBUS_SESSION_BUS_ADDRESS=')")
fi
# q is on the same key on both layouts, so that selecting a button types it whichever is in use.
start_wayland_kivo '0=Button 1:  q' '1=Button 2:  q' '2=Button 3:  '$'\xfc'
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
# Before any key of Kivo's window could tell it, KWin has: the button assigned ü types it, which
# us cannot.
if [ "$COMPOSITOR" = kwin ]; then
  check kwin_tells_the_switch types 3 udiaeresis
fi
check de_assigns_udiaeresis assigns 1 KEY_LEFTBRACE $'\xfc' udiaeresis
check de_assigns_ssharp assigns 2 KEY_MINUS $'\xdf' ssharp
