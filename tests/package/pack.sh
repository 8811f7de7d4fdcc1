# Sourced by the package checks: pack GENERATOR BUILD_DIR FILE_NAME runs cpack on a configured and
# built tree into the folder $out, removed when the check ends, and fails unless it made FILE_NAME.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

pack() {
  cpack -G "$1" --config "$2/CPackConfig.cmake" -B "$out" >/dev/null
  [ -f "$out/$3" ] || { echo "no $3; cpack made: $(ls "$out")" >&2; exit 1; }
}
