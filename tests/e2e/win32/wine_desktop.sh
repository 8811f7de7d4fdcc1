# Sourced by the scripts that run Kivo under Wine: a private Xvfb with openbox (without a
# window manager Wine's window destruction stalls), one wineserver and a Wine prefix of the
# session's own. start_wine_desktop SESSION_FOLDER sets DISPLAY, WINEPREFIX and `kivo_ini`,
# and stops everything when the calling script exits.

wine_desktop_pids=()
stop_wine_desktop() {
  wineserver -k 2>/dev/null || true
  for pid in "${wine_desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}

start_wine_desktop() {
  local session=$1 tool
  for tool in Xvfb openbox xdotool wmctrl wine wineserver; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing; run scripts/bootstrap.sh" >&2; exit 1; }
  done
  export WINEPREFIX="$session/prefix" WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  trap stop_wine_desktop EXIT
  rm -f "$session/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$session/display" </dev/null >"$session/xvfb.log" 2>&1 &
  wine_desktop_pids+=($!)
  for _ in $(seq 100); do [ -s "$session/display" ] && break; sleep 0.1; done
  [ -s "$session/display" ] || { echo "$0: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$session/display")"
  openbox --sm-disable </dev/null >"$session/openbox.log" 2>&1 &
  wine_desktop_pids+=($!)
  wineserver -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null >"$session/wineboot.log" 2>&1
  fi
  kivo_ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Kivo/kivo.ini"
}
