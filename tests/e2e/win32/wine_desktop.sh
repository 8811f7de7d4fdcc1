# Sourced by the scripts that run Kivo under Wine: a private Xvfb with openbox (without a
# window manager Wine's window destruction stalls), one wineserver and a Wine prefix of the
# session's own. start_wine_desktop SESSION_FOLDER sets DISPLAY, WINEPREFIX and `kivo_ini`,
# and stops everything when the calling script exits.

# Every wait gives up after this many seconds: ample for a loaded machine, so that a step
# fails only when what it waits for never happens.
wait_deadline=60
# Runs the command until it succeeds; fails once the deadline has passed.
wait_for() {
  local end=$((SECONDS + wait_deadline))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05 # the pace of looking again, not a wait in itself
  done
}

# Ends the jobs still running, and only those: the number of one that has ended may belong to
# another program by now (another test's X server, say).
stop_wine_desktop() {
  wineserver -k 2>/dev/null || true
  kill $(jobs -pr) 2>/dev/null || true
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
  wait_for test -s "$session/display" || { echo "$0: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$session/display")"
  openbox --sm-disable </dev/null >"$session/openbox.log" 2>&1 &
  window_manager_pid=$!
  wineserver -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null >"$session/wineboot.log" 2>&1
  fi
  kivo_ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Kivo/kivo.ini"
}
