#!/usr/bin/env bash
# Boots Debian's installed kernel under QEMU on the host's own file system (read-only, with a
# memory overlay) and runs the named scenarios, tests/vm/scenarios/NAME.sh, in one boot. Each
# scenario's log and result land in OUT/results/NAME.log and NAME.result ("pass", "fail: why"
# or "skip: why"). Exits 77 when QEMU cannot start at all, 1 when the machine did not finish.
# KIVO_VM_ONLY, an extended regular expression, boots only the scenarios whose names it matches
# (mutter$ for those on mutter, say) and skips the others.
#   run_vm.sh BUILD_FOLDER OUT_FOLDER SCENARIO...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
out=$2
shift 2
scenarios=("$@")
rm -rf "$out"
mkdir -p "$out/results" "$out/initramfs"
out=$(cd "$out" && pwd)

if [ -n "${KIVO_VM_ONLY:-}" ]; then
  chosen=()
  for scenario in "${scenarios[@]}"; do
    if [[ $scenario =~ $KIVO_VM_ONLY ]]; then
      chosen+=("$scenario")
    else
      echo "skip: left out by KIVO_VM_ONLY=$KIVO_VM_ONLY" > "$out/results/$scenario.result"
    fi
  done
  scenarios=("${chosen[@]}")
  [ ${#scenarios[@]} -gt 0 ] || exit 77
fi

record_all() {
  for scenario in "${scenarios[@]}"; do
    [ -e "$out/results/$scenario.result" ] || echo "$1" > "$out/results/$scenario.result"
  done
}

skip() {
  echo "kivo-vm: skipped: $1"
  record_all "skip: $1"
  exit 77
}

kernel=$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)
[ -n "$kernel" ] || skip "no kernel in /boot (Debian's linux-image-amd64 provides one)"
[ -r "$kernel" ] || skip "$kernel can be read by root only"
version=${kernel#/boot/vmlinuz-}
[ -d "/lib/modules/$version" ] || skip "no modules for $version in /lib/modules"
[ -x /lib/systemd/systemd ] || skip "systemd is not installed (Debian's systemd)"
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed (Debian's qemu-system-x86)"
# The initramfs has no libraries, so its shell must be a static busybox.
busybox=/bin/busybox
if [ ! -x "$busybox" ] || ldd "$busybox" >/dev/null 2>&1; then
  skip "no static busybox (Debian's busybox-static)"
fi

# The initramfs: busybox, the init script, and the modules that reach the host's files.
image=$out/initramfs
mkdir -p "$image/bin"
cp "$busybox" "$image/bin/busybox"
cp "$here/initramfs_init.sh" "$image/init"
cp "$here/kivo-vm.service" "$image/"
for module in virtio_pci 9pnet_virtio 9p overlay; do
  modprobe -S "$version" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
done | awk '!seen[$0]++' > "$image/modules.order"
while read -r module; do
  mkdir -p "$image$(dirname "$module")"
  cp "$module" "$image$module"
done < "$image/modules.order"
(cd "$image" && find . | "$busybox" cpio -o -H newc 2>/dev/null) > "$out/initramfs.cpio"

# The guest sees the checkout and its build where initramfs_init.sh mounts them.
printf 'exec /kivo-source/tests/vm/guest_main.sh /kivo-build /kivo-source/tests/vm' > "$out/command"
printf ' %q' "${scenarios[@]}" >> "$out/command"

# Each scenario ends itself after its own time limit; this one covers boot and shutdown too.
limit=$((120 + 540 * ${#scenarios[@]}))
qemu_args=(
  # A desktop compositor needs the memory, and a display device (bochs-drm) to draw on.
  -m 2048 -smp 1 -nographic -vga std -nic none -no-reboot -kernel "$kernel" -initrd "$out/initramfs.cpio"
  # fstab=no: the host's file systems are not the guest's to mount.
  -append "console=ttyS0 panic=-1 quiet fstab=no"
  -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap
  -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot
  -fsdev local,id=vmshare,path="$out",security_model=none
  -device virtio-9p-pci,fsdev=vmshare,mount_tag=vmshare
  # The checkout and its build on their own: a checkout under /tmp would be hidden by the guest's
  # memory folders.
  -fsdev local,id=source,path="$source",security_model=none,readonly=on,multidevs=remap
  -device virtio-9p-pci,fsdev=source,mount_tag=source
  -fsdev local,id=build,path="$build",security_model=none,readonly=on,multidevs=remap
  -device virtio-9p-pci,fsdev=build,mount_tag=build
  # Entropy from the host, so that nothing in the guest waits for its random pool to fill, which
  # under TCG is slow.
  -device virtio-rng-pci
)

booted() { grep -q 'kivo-vm: booted' "$out/console.log" 2>/dev/null; }

# Starts QEMU in the background with the given accelerator; its pid is left in $qemu.
start() {
  timeout -k 10 "$limit" qemu-system-x86_64 -accel "$1" "${qemu_args[@]}" > "$out/console.log" 2>&1 < /dev/null &
  qemu=$!
}

started=$(date +%s)
accelerator=tcg
# KVM can hang in early boot under nested virtualisation: it gets a few seconds to boot.
if [ -w /dev/kvm ]; then
  start kvm
  for _ in $(seq 40); do
    booted && break
    kill -0 "$qemu" 2>/dev/null || break
    sleep 0.5
  done
  if booted; then
    accelerator=kvm
  else
    kill "$qemu" 2>/dev/null
    wait "$qemu" 2>/dev/null
    echo "kivo-vm: KVM did not boot within 20 s; using TCG"
  fi
fi
[ "$accelerator" = tcg ] && start tcg
echo "kivo-vm: $kernel under QEMU ($accelerator), scenarios: ${scenarios[*]}"
tail -n +1 -f --pid="$qemu" "$out/console.log" &
follower=$!
wait "$qemu"
status=$?
# tail ends once it has shown the console's last lines.
wait "$follower"
echo "kivo-vm: machine ran $(($(date +%s) - started)) s"
if ! booted; then
  [ "$status" -eq 124 ] && { record_all "fail: the machine did not boot within $limit s"; exit 1; }
  skip "QEMU could not start or boot the kernel (status $status): $(grep -m 1 -i 'qemu' "$out/console.log")"
fi
record_all "fail: the machine ended before the scenario finished"
exit 0
