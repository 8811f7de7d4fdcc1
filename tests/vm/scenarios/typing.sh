# A held button types its key on every tick; the pushed stick types arrows; letting go stops both.
start_playing
lines=$(wc -l < "$work/keys")
pressed=$(now_ms)
pad pad press 1
wait_until '[ "$(presses F5)" -gt 0 ]'
first=$(tail -n +"$((lines + 1))" "$work/keys" | grep -m 1 '^press F5 ' | cut -d' ' -f3)
# A person holds the button for two seconds.
sleep 2
pad pad release 1
released=$(now_ms)
# Kivo asleep has stopped typing: every key it typed arrives before the mark.
wait_until asleep
mark
held=$(presses F5)
typing_figures "XTest into an X11 window" "$((first - pressed))" "$((held * 1000 / (released - pressed)))"
check held_button_types_its_key [ "$held" -ge 10 ]
pushed=$(now_ms)
pad pad axes 65535 32767
wait_until '[ "$(presses Right)" -gt 0 ]'
# And pushes the stick for two.
sleep 2
pad pad axes 32767 32767
released=$(now_ms)
wait_until asleep
mark
arrows=$(presses Right)
figure "Right per second while the stick is pushed: $((arrows * 1000 / (released - pushed)))"
check stick_types_arrows [ "$arrows" -ge 10 ]
check nothing_after_letting_go none_after_mark '[A-Za-z0-9_]*'
