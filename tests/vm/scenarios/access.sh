# Kivo starts while its user may not open the gamepad's node; access granted later (as a
# uaccess ACL would be) reaches Kivo while it sleeps, without a restart or an X event.
start_xvfb
start_gamepad pad 4 0600
start_kivo
start_receiver
sleep 3
chmod 0666 "$(gamepad_node pad)"
sleep 3
check nothing_typed_at_rest [ "$(presses_during '.*' 1)" -eq 0 ]
pad pad axes 65535 32767
sleep 0.5
check access_granted_later_is_picked_up [ "$(presses_during Right 2)" -gt 0 ]
pad pad axes 32767 32767
