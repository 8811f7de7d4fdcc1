#!/bin/bash
# Runs in the virtual machine as root, started by systemd: makes the system look like a
# desktop's (a memory /tmp, the input modules, an ordinary user with a runtime folder), then
# runs each scenario in a process group of its own and records its log and result on the share.
# A scenario NAME.COMPOSITOR runs scenarios/NAME.sh on that Wayland compositor.
#   guest_main.sh BUILD_FOLDER HARNESS_FOLDER SCENARIO...
set -u
build=$1
here=$2
shift 2
results=/kivo-vm/results

# systemd has mounted /run and /dev/shm already.
mountpoint -q /tmp || mount -t tmpfs -o mode=1777 tmpfs /tmp
modprobe uinput
# The host's entropy (see run_vm.sh), before anything waits for it.
modprobe virtio_rng
modprobe evdev

export VM_USER=kivo-vm VM_UID=1500
echo "$VM_USER:x:$VM_UID:$VM_UID::/home/$VM_USER:/bin/bash" >> /etc/passwd
# A login session (PAM's account check) needs the user in the shadow file too.
echo "$VM_USER:*:19000:0:99999:7:::" >> /etc/shadow
echo "$VM_USER:x:$VM_UID:" >> /etc/group
install -d -o "$VM_UID" -g "$VM_UID" -m 0700 "/home/$VM_USER" "/run/user/$VM_UID"

for scenario in "$@"; do
  compositor=
  [[ $scenario == *.* ]] && compositor=${scenario#*.}
  # logind, and with it a desktop's compositor, needs systemd's usual start-up, which also
  # empties /tmp: it comes between scenarios, before the first on a desktop's compositor.
  if [[ -n $compositor && $compositor != sway ]] && ! systemctl -q is-active sysinit.target; then
    started=$(date +%s)
    systemctl start sysinit.target
    echo "kivo-vm: systemd's start-up took $(($(date +%s) - started)) s"
  fi
  started=$(date +%s.%N)
  COMPOSITOR=$compositor KIVO_BUILD=$build setsid bash "$here/scenario.sh" "$here/scenarios/${scenario%%.*}.sh" \
    < /dev/null > "$results/$scenario.log" 2>&1 &
  group=$!
  (sleep 480 && echo "scenario ran out of time" >> "$results/$scenario.log" && kill -TERM -- "-$group") &
  watchdog=$!
  wait "$group"
  status=$?
  kill "$watchdog" 2>/dev/null
  # Whatever the scenario left running goes with it.
  kill -KILL -- "-$group" 2>/dev/null
  case $status in
    0) result=pass ;;
    77) result=$(grep '^skip: ' "$results/$scenario.log" | tail -n 1) ;;
    *) result="fail: status $status" ;;
  esac
  [ "$result" = pass ] || ps -eo time,etime,stat,user,comm --sort=-time | head -n 8 >> "$results/$scenario.log"
  sed "s/^/$scenario: /" "$results/$scenario.log"
  echo "$result" > "$results/$scenario.result"
  echo "kivo-vm: scenario $scenario: $result ($(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }') s)"
done
