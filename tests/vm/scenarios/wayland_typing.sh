# On Wayland Kivo types through its own uinput keyboard into a native Wayland window: a held
# button types its key, the pushed stick arrows, and nothing stays down afterwards. A compositor
# under emulation may deliver them seconds late (mutter does), so the checks wait for them.
chmod 0666 /dev/uinput
start_wayland
start_gamepad pad 4 0666
started=$(now_ms)
start_wayland_kivo '0=Button 1:  {F5}'
check compositor_adds_kivos_keyboard wait_until 'wayland_input "Kivo virtual keyboard"' 180
figure "$COMPOSITOR has added Kivo's keyboard $(($(now_ms) - started)) ms after Kivo was started"
start_wev
select_wayland_button pad 1
lines=$(wc -l < "$work/keys")
# wev gives the compositor's clock, the monotonic one in milliseconds.
pressed=$(awk '{ printf "%d", $1 * 1000 }' /proc/uptime)
pad pad press 1
sleep 0.5
first=$(tail -n +"$((lines + 1))" "$work/keys" | grep -A1 'state: 1 ' | grep -B1 'sym: F5 ' | grep -m 1 -o 'time: [0-9]*')
before=$(wev_keys 1 F5)
sleep 2
held=$(($(wev_keys 1 F5) - before))
pad pad release 1
typing_figures "uinput into a Wayland window" "$((${first#time: } - pressed))" "$((held / 2))"
check held_button_types_into_wayland_window [ "$held" -ge 10 ]
pad pad axes 65535 32767
sleep 2
pad pad axes 32767 32767
check stick_types_arrows wait_until '[ "$(wev_keys 1 Right)" -ge 10 ]' 60
# The last key Kivo sends is the stick's Right let go: once wev has it, nothing is on the way.
wait_until 'grep -A1 "state: " "$work/keys" | tail -n 2 | tr "\n" " " | grep -q "state: 0 .*sym: Right "' 60
check nothing_stays_down eval '[ "$(wev_keys 1 F5)" -eq "$(wev_keys 0 F5)" ] && [ "$(wev_keys 1 Right)" -eq "$(wev_keys 0 Right)" ]'
