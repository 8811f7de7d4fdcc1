# Kivo starts while its user may not open the gamepad's node; access granted later (as a
# uaccess ACL would be) reaches Kivo while it sleeps, without a restart or an X event.
start_xvfb
start_gamepad pad 4 0600
start_kivo
start_receiver
wait_until asleep
chmod 0666 "$(gamepad_node pad)"
check kivo_opens_the_node_once_allowed wait_until 'kivo_has_open "$(gamepad_node pad)"'
check nothing_typed_at_rest none_after_mark '.*'
pad pad axes 65535 32767
check access_granted_later_is_picked_up wait_until '[ "$(presses Right)" -gt 0 ]'
pad pad axes 32767 32767
