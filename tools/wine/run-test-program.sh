#!/usr/bin/env bash
# Runs a Windows test program under Wine in the build tree's own prefix, in the Japanese locale
# (code page 932, which the double-byte rules need), on the test run's own X display when one is up.
set -e
build=${TOLVEX_BUILD_DIR:-$PWD}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != / ]; do build=$(dirname "$build"); done
. "$(dirname "$0")/environment.sh" "$build/wineprefix"
# The test run's own display wins over the one the developer sits at.
if [ -f "$build/xvfb/display" ]; then
  export DISPLAY=$(cat "$build/xvfb/display")
fi
# Wine starts its system processes (services, the desktop) when a program first needs them, and
# they inherit that program's standard error and keep it open long after it has ended. Were that
# the test runner's pipe, the runner would wait for them; so the error output goes through a file.
errors=$(mktemp)
"${TolvexWine[@]}" "$@" 2>"$errors" <&0 &
program=$!
# Whoever stops this script (a test's timeout, a script done with the window) stops the program.
trap 'kill "$program" 2>/dev/null' TERM INT HUP
status=0
wait "$program" || status=$?
# A signal ends the wait early; the program's own status comes when it has ended.
while kill -0 "$program" 2>/dev/null; do
  status=0
  wait "$program" || status=$?
done
cat "$errors" >&2
rm -f "$errors"
# A program that fails before it prints anything leaves this line as the only trace of how it ended.
[ $status -eq 0 ] || echo "run-test-program: $1 ended with status $status" >&2
exit $status
