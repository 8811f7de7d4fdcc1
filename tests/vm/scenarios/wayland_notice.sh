# With no joystick, the desktop's notification server receives Kivo's "No joystick found" on the
# session bus the desktop's programs inherit, and closes it at Kivo's call once a gamepad is
# plugged in. What passes on the bus is read by dbus-monitor.
chmod 0666 /dev/uinput
start_wayland
shell=$(pgrep -n -u "$VM_UID" -x "$compositor_process")
user_env+=("$(tr '\0' '\n' < "/proc/$shell/environ" | grep '^DBUS_SESSION_BUS_ADDRESS=')")
spawn_as_user dbus-monitor "interface=org.freedesktop.Notifications" "type=method_return" > "$work/bus.log"
# It says first that it has become a monitor.
wait_until 'grep -q "member=NameLost" "$work/bus.log"'
start_wayland_kivo

# The ids the server gave to the notifications that say "No joystick found".
notice_ids() {
  awk '
    function field(name,   i, value) {
      for (i = 1; i <= NF; i++)
        if (index($i, name "=") == 1) { value = substr($i, length(name) + 2); sub(/;$/, "", value); return value }
    }
    /^method call / { notify = field("member") == "Notify" ? field("sender") " " field("serial") : ""; answer = ""; next }
    /^method return / { answer = field("destination") " " field("reply_serial"); notify = ""; next }
    /^[a-z]/ { notify = answer = ""; next }
    notify != "" && $0 == "   string \"No joystick found\"" { asked[notify] = 1 }
    answer != "" && asked[answer] && $1 == "uint32" { print $2; answer = "" }
  ' "$work/bus.log"
}
# Whether the server said it closed this notification because it was asked to (reason 3).
closed_on_request() {
  awk -v id="$1" '
    /^signal / { closing = / member=NotificationClosed$/; n = 0; next }
    /^[a-z]/ { closing = 0; next }
    closing && $1 == "uint32" { value[n++] = $2; if (n == 2 && value[0] == id && value[1] == 3) found = 1 }
    END { exit !found }
  ' "$work/bus.log"
}

check server_received_no_joystick_found wait_until '[ -n "$(notice_ids)" ]'
start_gamepad pad 4 0666
all_closed() {
  local id ids
  ids=$(notice_ids)
  [ -n "$ids" ] || return 1
  for id in $ids; do closed_on_request "$id" || return 1; done
}
check server_closed_it_once_a_gamepad_came wait_until all_closed
