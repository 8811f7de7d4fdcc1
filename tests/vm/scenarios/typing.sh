# A held button types its key on every tick; the pushed stick types arrows; letting go stops both.
start_playing
lines=$(wc -l < "$work/keys")
pressed=$(now_ms)
pad pad press 1
sleep 0.5
first=$(tail -n +"$((lines + 1))" "$work/keys" | grep -m 1 '^press F5 ' | cut -d' ' -f3)
held=$(presses_during F5 2)
pad pad release 1
typing_figures "XTest into an X11 window" "$((first - pressed))" "$((held / 2))"
check held_button_types_its_key [ "$held" -ge 10 ]
pad pad axes 65535 32767
sleep 0.5
pushed=$(presses_during Right 2)
pad pad axes 32767 32767
figure "Right per second while the stick is pushed: $((pushed / 2))"
check stick_types_arrows [ "$pushed" -ge 10 ]
sleep 1
check nothing_after_letting_go [ "$(presses_during '[A-Za-z0-9_]*' 2)" -eq 0 ]
