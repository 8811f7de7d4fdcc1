#!/bin/bash
# Runs in the virtual machine as root: makes the system look like a desktop's (memory
# folders, the input modules, an ordinary user with a runtime folder), then runs each
# scenario in a process group of its own and records its log and result on the share.
#   guest_main.sh BUILD_FOLDER HARNESS_FOLDER SCENARIO...
set -u
build=$1
here=$2
shift 2
results=/kivo-vm/results

mount -t tmpfs -o mode=1777 tmpfs /tmp
mount -t tmpfs -o mode=0755 tmpfs /run
mkdir -p /dev/shm /dev/pts
mount -t tmpfs -o mode=1777 tmpfs /dev/shm
mount -t devpts devpts /dev/pts
modprobe uinput
# The host's entropy (see run_vm.sh), before anything waits for it.
modprobe virtio_rng
modprobe evdev

# Everything here runs in a chroot of the host's files, where systemd's tools would otherwise
# ignore requests: udevadm trigger and settle would return at once, having done nothing.
export SYSTEMD_IGNORE_CHROOT=1
export VM_USER=kivo-vm VM_UID=1500
echo "$VM_USER:x:$VM_UID:$VM_UID::/home/$VM_USER:/bin/bash" >> /etc/passwd
echo "$VM_USER:x:$VM_UID:" >> /etc/group
install -d -o "$VM_UID" -g "$VM_UID" -m 0700 "/home/$VM_USER" "/run/user/$VM_UID"

for scenario in "$@"; do
  started=$(date +%s.%N)
  KIVO_BUILD=$build setsid bash "$here/scenario.sh" "$here/scenarios/$scenario.sh" < /dev/null > "$results/$scenario.log" 2>&1 &
  group=$!
  (sleep 240 && echo "scenario ran out of time" >> "$results/$scenario.log" && kill -TERM -- "-$group") &
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
  sed "s/^/$scenario: /" "$results/$scenario.log"
  echo "$result" > "$results/$scenario.result"
  echo "kivo-vm: scenario $scenario: $result ($(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }') s)"
done
