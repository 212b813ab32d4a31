#!/usr/bin/env bash
# Runs a Windows test program under Wine in the build tree's own prefix, in the Japanese locale
# (code page 932, which the double-byte rules need), on the test run's own X display when one is up.
set -e
build=${TOLVEX_BUILD_DIR:-$PWD}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != / ]; do build=$(dirname "$build"); done
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=${TOLVEX_LANG:-ja_JP.UTF-8} LC_ALL=${TOLVEX_LANG:-ja_JP.UTF-8}
# The test run's own display wins over the one the developer sits at.
if [ -f "$build/xvfb/display" ]; then
  export DISPLAY=$(cat "$build/xvfb/display")
fi
exec wine "$@"
