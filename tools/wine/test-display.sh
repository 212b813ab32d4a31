#!/usr/bin/env bash
# Starts and stops the test run's own X display and Wine prefix: test-display.sh start|stop BUILD_DIR.
# The display number is written to BUILD_DIR/xvfb/display, where tools/wine/run-test-program.sh picks it up.
set -u
cmd=$1
build=$2
state=$build/xvfb
. "$(dirname "$0")/environment.sh" "$build/wineprefix"

start() {
  mkdir -p "$state"
  stop_display
  # Xvfb takes the first free display number itself and writes it to descriptor 3: choosing one
  # here and starting the server afterwards could hand two runs started together the same display.
  rm -f "$state/displayfd"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/displayfd" >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/pid"
  local i n=
  for i in $(seq 1 100); do
    n=$(cat "$state/displayfd" 2>/dev/null)
    [ -n "$n" ] && break
    kill -0 "$(cat "$state/pid")" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$n" ]; then
    echo "test-display: Xvfb did not start" >&2
    cat "$state/xvfb.log" >&2
    exit 1
  fi
  echo ":$n" >"$state/display"
  export DISPLAY=:$n
  # A server left from listing the tests ran without the display; start the session afresh on it.
  wineserver -k >/dev/null 2>&1 || true
  # The session lasts the whole run. A server started on demand ends it as soon as the last
  # program has ended (Debian's wrapper starts it with -p0): it tells the system processes
  # (services, the desktop) to quit, then kills what is left and stops. A program that starts
  # meanwhile joins the ending session and may be killed with it, ending with status 1 before its
  # first line, or find the services gone. Between two tests that happens whenever nothing runs
  # beside them. So the server is started persistent, before anything can start one on demand:
  # persistence is an option of the server's own start, asking a running one changes nothing.
  wineserver -p >/dev/null 2>&1 || true
  # The first start of a prefix takes a while.
  "${TolvexWine[@]}" wineboot -i >"$state/wineboot.log" 2>&1 || { cat "$state/wineboot.log" >&2; exit 1; }
  # The display has no window manager, and Wine waits up to two seconds at every hide of a window
  # it hands to one for an answer that never comes. Windows has its own; here Wine places every
  # window itself.
  "${TolvexWine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$state/reg.log" 2>&1 ||
    { cat "$state/reg.log" >&2; exit 1; }
  echo "test-display: display :$n, prefix $WINEPREFIX"
}

stop_display() {
  if [ -f "$state/pid" ]; then
    kill "$(cat "$state/pid")" 2>/dev/null || true
    rm -f "$state/pid"
  fi
  rm -f "$state/display"
}

stop() {
  wineserver -k >/dev/null 2>&1 || true
  stop_display
  echo "test-display: stopped"
}

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: test-display.sh start|stop BUILD_DIR" >&2; exit 2 ;;
esac
