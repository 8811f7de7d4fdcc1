# Unplugged while a button is held: typing stops and Kivo keeps running. Plugged in again while
# Kivo idles: keys flow again without a restart.
start_playing
pad pad press 1
sleep 1
pad pad unplug
sleep 1
check typing_stops_on_unplug [ "$(presses_during F5 2)" -eq 0 ]
check kivo_keeps_running running "$kivo"
sleep 4
pad pad plug
sleep 3
pad pad press 1
sleep 0.5
check keys_flow_after_plugging_in_again [ "$(presses_during F5 2)" -gt 0 ]
pad pad release 1
