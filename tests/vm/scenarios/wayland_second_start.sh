# Kivo is started again while wev is in front of its window: the second start asks the running
# Kivo to come to the front and says whether its window got there, which wev losing the
# keyboard confirms.
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
figure "a second start on $COMPOSITOR says: $(cat "$work/second.err")"
check second_start_succeeds [ "$status" -eq 0 ]
if grep -q 'brought to the front' "$work/second.err"; then
  check kivo_came_to_the_front wait_until '[ "$(wev_left)" -gt "$left" ]'
else
  check says_it_only_asked grep -q 'asked to bring its window to the front' "$work/second.err"
  check wev_kept_the_keyboard [ "$(wev_left)" -eq "$left" ]
fi
