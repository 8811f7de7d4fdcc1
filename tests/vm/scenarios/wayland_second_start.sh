# Kivo is started again twice while another window is in front of its own: once from a shell,
# with no launcher's token, and once the way a launcher starts it, with a token the launcher got
# for a key typed into it. Each second start asks the running Kivo to come to the front and says
# whether its window got there, which the window in front losing the keyboard confirms.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
start_wayland_kivo '0=Button 1:  {F5}'
wait_until 'wayland_input "Kivo virtual keyboard"'
# The game is started once Kivo's window is in front, so that Kivo's start cannot take the
# keyboard back from it later.
to_front kivo
start_wev
left=$(wev_left)
as_user timeout "$patience" "$KIVO_BUILD/kivo" > /dev/null 2> "$work/second.err"
status=$?
figure "a second start with no launcher on $COMPOSITOR says: $(cat "$work/second.err")"
check second_start_succeeds [ "$status" -eq 0 ]
if grep -q 'brought to the front' "$work/second.err"; then
  check kivo_came_to_the_front wait_until '[ "$(wev_left)" -gt "$left" ]'
else
  check says_it_only_asked grep -q 'asked to bring its window to the front' "$work/second.err"
  check wev_kept_the_keyboard [ "$(wev_left)" -eq "$left" ]
fi

# The launcher comes to the front as a new window does, and a key typed into it gets it a token.
spawn_as_user stdbuf -oL "$KIVO_BUILD/tests/vm/kivo-test-launcher" > "$work/launcher.out"
launcher_has_keyboard() { grep -E '^(enter|leave)$' "$work/launcher.out" | tail -n 1 | grep -q enter; }
wait_until launcher_has_keyboard
type_key KEY_SPACE
wait_until "grep -q '^token ' '$work/launcher.out'"
token=$(sed -n 's/^token //p' "$work/launcher.out")
as_user env XDG_ACTIVATION_TOKEN="$token" timeout "$patience" "$KIVO_BUILD/kivo" > /dev/null 2> "$work/launched.err"
status=$?
figure "a second start from a launcher on $COMPOSITOR says: $(cat "$work/launched.err")"
check launched_start_succeeds [ "$status" -eq 0 ]
check running_kivo_used_the_launchers_token grep -Fq "activate(\"$token\"" "$work/kivo.err"
# The desktops honour a launcher's token; sway, by default, marks the window urgent instead
# (focus_on_window_activation), and the words must say so.
if [ "$COMPOSITOR" != sway ] || grep -q 'brought to the front' "$work/launched.err"; then
  check launched_says_brought_to_front grep -q 'brought to the front' "$work/launched.err"
  check launcher_lost_the_keyboard wait_until '! launcher_has_keyboard'
  check kivo_has_the_keyboard wait_until 'has_keyboard "$work/kivo.err"'
else
  check launched_says_it_only_asked grep -q 'asked to bring its window to the front' "$work/launched.err"
  check launcher_kept_the_keyboard launcher_has_keyboard
fi
