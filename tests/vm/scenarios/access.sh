# Kivo starts while its user may not open the gamepad's node; access granted later (as a
# uaccess ACL would be) reaches it without a restart, although Kivo sleeps and no X event
# comes in between.
start_xvfb
start_gamepad pad 4 0600
start_receiver
start_kivo '0=Button 1:  {F5}'
focus '^Kivo v'
sleep 3
chmod 0666 "$(gamepad_node pad)"
sleep 3
# Selects button 1 only if Kivo has opened the joystick by now.
pad pad press 1
sleep 1
pad pad release 1
focus '^kivo-test-receiver$'
pad pad press 1
sleep 0.5
held=$(presses_during F5 2)
pad pad release 1
check access_granted_later_is_picked_up [ "$held" -gt 0 ]
