#!/usr/bin/env bash
# Runs a test program in a Wine prefix whose display DPI is 144 (150 %): dpi144.sh BUILD_DIR EXE.
# The prefix is the build's own, cloned with hard links (the system files are only read) and with
# copies of its registry, so the clone costs a second, not a new prefix's minute.
set -eu
build=$1 exe=$2
. "$(dirname "$0")/../../tools/wine/environment.sh" "$build/wineprefix"
base=$WINEPREFIX
export WINEPREFIX=$build/wineprefix-144
# Its own server, ended however the test ends; the build's own prefix keeps serving the others.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
cp -al "$base" "$WINEPREFIX"
for file in "$WINEPREFIX"/*.reg; do
  cp --remove-destination "$base/$(basename "$file")" "$file"
done
# Through a file, as tools/wine/run-test-program.sh explains: the first program of a prefix starts its system
# processes, which would keep the test runner's pipe open.
log=$build/dpi144-reg.log
"${TolvexWine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >"$log" 2>&1 ||
  { cat "$log" >&2; exit 1; }
# The display DPI is read when the session starts: a fresh server picks the value up.
wineserver -k >/dev/null 2>&1 || true
TOLVEX_BUILD_DIR=$build "$(dirname "$0")/../../tools/wine/run-test-program.sh" "$exe"
