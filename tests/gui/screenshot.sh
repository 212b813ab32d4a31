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
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true
xdotool type --delay 40 '12*3+sqrt(2)='
# Wait until the window shows something other than an empty line: poll the picture's colours.
for _ in $(seq 1 100); do
  import -window root -crop 340x40+0+0 "$out"
  colours=$(convert "$out" -format '%k' info:)
  [ "$colours" -gt 6 ] && break
  sleep 0.05
done
echo "screenshot: $out"
