# The node disappears while Kivo sleeps: Kivo keeps running and sleeping, and a gamepad
# plugged in later wakes it.
start_playing
sleep 4
pad pad unplug
sleep 5
before=$(wake_ups "$kivo")
sleep 5
check kivo_keeps_running running "$kivo"
check asleep_after_the_node_ended [ $(($(wake_ups "$kivo") - before)) -le 5 ]
pad pad plug
sleep 3
pad pad press 1
sleep 0.5
check keys_flow_from_the_new_node [ "$(presses_during F5 2)" -gt 0 ]
pad pad release 1
