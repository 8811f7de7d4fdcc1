# While nothing happens Kivo sleeps on the real node; the first press after idling is typed.
start_playing
wait_until asleep
before=$(wake_ups "$kivo")
# Idling is measured over five seconds.
sleep 5
idle=$(($(wake_ups "$kivo") - before))
figure "wake-ups per second while idle: $(awk -v n="$idle" 'BEGIN { print n / 5 }')"
check asleep_while_idle [ "$idle" -le 5 ]
pressed=$(now_ms)
pad pad press 1
wait_until '[ "$(presses F5)" -gt 0 ]'
pad pad release 1
first=$(grep -m 1 "^press F5 " "$work/keys" | cut -d' ' -f3)
check first_press_after_idle_is_typed [ -n "$first" ]
figure "first key after 5 s idle: $((${first:-0} - pressed)) ms (TCG: relative only)"
