#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks what it holds and
# what it depends on. Usage: check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb="$out/kivo_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no $deb; cpack made: $(ls "$out")" >&2; exit 1; }

fail=0
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/kivo ./usr/share/applications/kivo.desktop ./usr/share/icons/hicolor/scalable/apps/kivo.svg; do
  grep -qx "$path" <<<"$contents" || { echo "missing $path" >&2; fail=1; }
done
if grep -Eq 'e2e|bench|test' <<<"$contents"; then
  echo "test or measuring files in the package:" >&2
  grep -E 'e2e|bench|test' <<<"$contents" >&2
  fail=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6network6 libsdl2-2.0-0 libx11-6 libxtst6 qt6-qpa-plugins; do
  grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || { echo "Depends lacks $library: $depends" >&2; fail=1; }
done
[ "$(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')" = "Package: kivo Version: $version Architecture: amd64 " ] ||
  { echo "wrong control fields: $(dpkg-deb -f "$deb" Package Version Architecture)" >&2; fail=1; }
exit $fail
