# The node disappears while Kivo sleeps: Kivo keeps running and sleeping, and a gamepad
# plugged in later wakes it.
start_playing
wait_until asleep
node=$(gamepad_node pad)
pad pad unplug
check kivo_lets_go_of_the_node wait_until '! kivo_has_open "$node"'
check kivo_keeps_running running "$kivo"
check asleep_after_the_node_ended wait_until asleep
pad pad plug
wait_until 'kivo_has_open "$(gamepad_node pad)"'
pad pad press 1
check keys_flow_from_the_new_node wait_until '[ "$(presses F5)" -gt 0 ]'
pad pad release 1
