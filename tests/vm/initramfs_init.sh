#!/bin/busybox sh
# The first process of the virtual machine: mounts the host's root file system read-only with
# a memory overlay on top, the checkout and its build, and the results share, then hands over
# to the host's systemd, which runs the harness's command (kivo-vm.service) and powers off.
/bin/busybox --install -s /bin
mkdir -p /proc /sys /dev
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
while read -r module; do insmod "$module"; done < /modules.order
# share TAG FOLDER [OPTIONS]: one of the host's folders that run_vm.sh shares.
share() { mount -t 9p -o "trans=virtio,version=9p2000.L,msize=512000${3:+,$3}" "$1" "$2"; }
mkdir -p /lower /memory /root
share hostroot /lower ro,cache=loose
mount -t tmpfs -o mode=0755 tmpfs /memory
mkdir -p /memory/upper /memory/work
mount -t overlay -o lowerdir=/lower,upperdir=/memory/upper,workdir=/memory/work overlay /root
mkdir -p /root/kivo-vm /root/kivo-source /root/kivo-build
share vmshare /root/kivo-vm
share source /root/kivo-source ro,cache=loose
share build /root/kivo-build ro,cache=loose
# The host may be a container, whose marker would make systemd ignore the unit it is given.
rm -f /root/.dockerenv
# Units that only take time here, or wait: the first-boot questions (when the host has no machine
# id), the network clock, and the user's own service manager, which would start a desktop's
# services (sound, for one) in each login session.
for unit in systemd-firstboot.service systemd-timesyncd.service user@.service; do
  ln -sf /dev/null "/root/etc/systemd/system/$unit"
done
cp /kivo-vm.service /root/etc/systemd/system/
for folder in proc sys dev; do mount --move /$folder /root/$folder; done
echo "kivo-vm: booted"
exec switch_root /root /lib/systemd/systemd --unit=kivo-vm.service
