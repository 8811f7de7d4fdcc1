#!/bin/sh
# Starts or stops what the cross-built tests run in: a private Xvfb (user32 needs a display)
# and one persistent wineserver on a Wine prefix kept in the session folder, so each test
# program starts in about a second instead of paying Wine's start-up.
#   wine-session.sh start|stop FOLDER
set -eu
action=$1
session=$2
prefix="$session/prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all

stop_xvfb() {
  if [ -s "$session/xvfb.pid" ]; then
    kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$session/xvfb.pid" "$session/display"
}

case "$action" in
start)
  mkdir -p "$prefix"
  # What an interrupted run left behind goes first.
  wineserver -k 2>/dev/null || true
  stop_xvfb
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$session/display" \
    </dev/null >"$session/xvfb.log" 2>&1 &
  echo $! >"$session/xvfb.pid"
  tries=0
  until [ -s "$session/display" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ]; then
      echo "wine-session.sh: Xvfb did not start; see $session/xvfb.log" >&2
      stop_xvfb
      exit 1
    fi
    sleep 0.1
  done
  DISPLAY=":$(cat "$session/display")"
  export DISPLAY
  wineserver -p </dev/null >"$session/wineserver.log" 2>&1
  # Wine's own services start with the first program of a session and live as long as the
  # server; started here, they hold no test's output open. A new prefix is built on the way,
  # without Mono and Gecko, which it would otherwise offer to install.
  # The address layout is wine-run.sh's, for the reason given there.
  WINEDLLOVERRIDES="mscoree,mshtml=" setarch "$(uname -m)" --addr-no-randomize wine wineboot \
    </dev/null >"$session/wineboot.log" 2>&1
  ;;
stop)
  wineserver -k 2>/dev/null || true
  stop_xvfb
  ;;
*)
  echo "usage: wine-session.sh start|stop FOLDER" >&2
  exit 2
  ;;
esac
