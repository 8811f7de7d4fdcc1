# Unplugged while a button is held: typing stops and Kivo keeps running. Plugged in again while
# Kivo idles: keys flow again without a restart.
start_playing
pad pad press 1
wait_until '[ "$(presses F5)" -gt 0 ]'
node=$(gamepad_node pad)
pad pad unplug
wait_until '! kivo_has_open "$node"'
check typing_stops_on_unplug none_after_mark F5
check kivo_keeps_running running "$kivo"
wait_until asleep
pad pad plug
wait_until 'kivo_has_open "$(gamepad_node pad)"'
before=$(presses F5)
pad pad press 1
check keys_flow_after_plugging_in_again wait_until '[ "$(presses F5)" -gt "$before" ]'
pad pad release 1
