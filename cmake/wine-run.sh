#!/usr/bin/env bash
# Runs a Windows test program under Wine in the build tree's own prefix, in the Japanese locale
# (code page 932, which the double-byte rules need), on the test run's own X display when one is up.
set -e
build=${TOLVEX_BUILD_DIR:-$PWD}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != / ]; do build=$(dirname "$build"); done
. "$(dirname "$0")/wine-environment.sh" "$build/wineprefix"
# The test run's own display wins over the one the developer sits at.
if [ -f "$build/xvfb/display" ]; then
  export DISPLAY=$(cat "$build/xvfb/display")
fi
exec "$TolvexWine" "$@"
