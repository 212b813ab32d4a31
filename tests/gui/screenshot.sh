#!/usr/bin/env bash
# Starts tolvex.exe in the test run's display, types a calculation and writes a PNG of the window:
# screenshot.sh TOLVEX_EXE BUILD_DIR OUTPUT_PNG. For people to look at; nothing is compared.
set -eu
exe=$1 build=$2 out=$3
work=$(dirname "$out")/screenshot-run
rm -rf "$work" && mkdir -p "$work"
cp "$exe" "$work/tolvex.exe"
export DISPLAY=$(cat "$build/xvfb/display")
export TOLVEX_BUILD_DIR=$build
printf '[Settings]\r\nWindowLeft=0\r\nWindowTop=0\r\nWindowWidth=320\r\nSingleInstance=0\r\n' \
  >"$work/tolvex.ini"
(cd "$work" && exec "$(dirname "$0")/../../cmake/wine-run.sh" tolvex.exe) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
cd "$(dirname "$0")"
window=
for _ in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --name '^tolvex$' 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
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
