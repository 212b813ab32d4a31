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
# Wine's server has been seen to drop a client now and then under load ("wine client error"),
# which says nothing about the program under test: such a run is made once more, and only then.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
  status=0
  wine "$@" 2> >(tee "$errors" >&2) || status=$?
  wait
  if [ $status -eq 0 ] || ! grep -q 'wine client error' "$errors"; then
    exit $status
  fi
  echo "wine-run: the Wine server dropped the program; running it once more" >&2
done
exit $status
