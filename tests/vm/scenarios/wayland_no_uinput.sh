# In a Wayland session where the user may not open /dev/uinput, Kivo runs on XWayland and says
# in one line that its keys reach X11 programs only.
command -v Xwayland > /dev/null || skip_scenario "Xwayland is not installed (Debian's xwayland)"
chmod 0600 /dev/uinput
start_wayland us x11
start_gamepad pad 4 0666
start_wayland_kivo '0=Button 1:  {F5}'
if [ "$COMPOSITOR" = sway ]; then
  check runs_on_xwayland eval 'as_user timeout 10 swaymsg -t get_tree | grep -q "\"shell\": \"xwayland\""'
else
  check runs_on_xwayland eval 'as_user timeout "$patience" xdotool search --sync --name "^Kivo v" > /dev/null'
fi
check says_keys_reach_x11_only [ "$(grep -c 'keys reach X11 programs only' "$work/kivo.err")" -eq 1 ]
