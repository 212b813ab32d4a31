#!/usr/bin/env bash
# Starts tolvex.exe in the test run's display, types a calculation and writes a PNG of the window:
# screenshot.sh TOLVEX_EXE BUILD_DIR OUTPUT_PNG. For people to look at; nothing is compared.
set -eu
# Absolute paths: the program runs from a folder of its own.
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "$1") build=$(cd "$2" && pwd) out=$(realpath "$3")
work=$(dirname "$out")/screenshot-run
rm -rf "$work" && mkdir -p "$work"
cp "$exe" "$work/tolvex.exe"
export DISPLAY=$(cat "$build/xvfb/display")
export TOLVEX_BUILD_DIR=$build
printf '[Settings]\r\nWindowLeft=0\r\nWindowTop=0\r\nWindowWidth=320\r\nSingleInstance=0\r\n' \
  >"$work/tolvex.ini"
(cd "$work" && exec "$here/../../tools/wine/run-test-program.sh" tolvex.exe) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
cd "$here"
# The window normally shows within a second. A program that ends first is reported at once; one
# that runs without showing its window is described as the display sees it, so that a failure in
# an unattended run says which of the two happened.
window=
SECONDS=0
while [ $SECONDS -lt 30 ]; do
  window=$(xdotool search --onlyvisible --name '^tolvex$' 2>"$work/search.err" | head -1) || true
  [ -n "$window" ] && break
  if ! kill -0 $pid 2>/dev/null; then
    status=0
    wait $pid || status=$?
    echo "screenshot: tolvex ended with status $status before its window appeared" >&2
    exit 1
  fi
  sleep 0.05
done
if [ -z "$window" ]; then
  echo "screenshot: tolvex runs, but no visible window named tolvex appeared within 30 s" >&2
  if xwininfo -root >/dev/null 2>&1; then
    echo "windows named tolvex on the display:" >&2
    xwininfo -root -tree | grep -F '"tolvex"' >&2 || echo "  none" >&2
  else
    echo "the display $DISPLAY is gone" >&2
  fi
  echo "Windows programs running:" >&2
  ps -eo pid,stat,etime,args | grep -F '.exe' | grep -v grep >&2 || true
  echo "the last search said:" >&2
  cat "$work/search.err" >&2
  exit 1
fi
# The display has no window manager to activate the window: a click into the input line does.
xdotool mousemove 60 10 click 1
import -window root -crop 330x40+0+0 "$out"
empty=$(md5sum <"$out")
xdotool type --delay 40 '12*3+sqrt(2)='
# Wait until the picture has changed from the empty line and then holds still.
previous=$empty
for _ in $(seq 1 100); do
  import -window root -crop 330x40+0+0 "$out"
  current=$(md5sum <"$out")
  [ "$current" = "$previous" ] && [ "$current" != "$empty" ] && break
  previous=$current
  sleep 0.1
done
echo "screenshot: $out"
