#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks what it holds, what it
# depends on, and that lintian finds no error and no warning in it. Usage: check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
source "$(dirname "$0")/pack.sh"
pack DEB "$build" "kivo_${version}_amd64.deb"
deb="$out/kivo_${version}_amd64.deb"

fail=0
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/kivo ./usr/share/applications/io.github.kivo_project.Kivo.desktop \
  ./usr/share/metainfo/io.github.kivo_project.Kivo.metainfo.xml ./usr/share/man/man1/kivo.1.gz \
  ./usr/share/icons/hicolor/scalable/apps/kivo.svg ./usr/share/icons/hicolor/48x48/apps/kivo.png \
  ./usr/share/doc/kivo/copyright ./usr/share/doc/kivo/changelog.gz ./usr/lib/udev/rules.d/70-kivo-uinput.rules; do
  grep -qx "$path" <<<"$contents" || { echo "missing $path" >&2; fail=1; }
done
if grep -Eq 'e2e|bench|test' <<<"$contents"; then
  echo "test or measuring files in the package:" >&2
  grep -E 'e2e|bench|test' <<<"$contents" >&2
  fail=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6network6 libsdl2-2.0-0 libx11-6 libxtst6 qt6-qpa-plugins qt6-wayland; do
  grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || { echo "Depends lacks $library: $depends" >&2; fail=1; }
done
[ "$(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')" = "Package: kivo Version: $version Architecture: amd64 " ] ||
  { echo "wrong control fields: $(dpkg-deb -f "$deb" Package Version Architecture)" >&2; fail=1; }
for script in postinst postrm; do
  dpkg-deb --ctrl-tarfile "$deb" | tar -tvf - ./$script | grep -q '^-rwxr-xr-x' ||
    { echo "no executable $script reloading the udev rules" >&2; fail=1; }
done
command -v lintian >/dev/null || { echo "lintian is missing; scripts/test.sh installs it" >&2; exit 1; }
lintian --display-info --display-experimental --pedantic --fail-on error,warning "$deb" >&2 || fail=1
exit $fail
