#!/usr/bin/env bash
# Runs the real program as an ordinary user, as most people run it: store_user.sh BUILD_DIR
# TESTS_EXE TOLVEX_EXE. Root may write everywhere, so a run as root makes a user of its own for
# it; any other user is ordinary already. That user gets a Wine prefix of its own (Wine refuses a
# prefix owned by someone else) and the test run's display, and three folders with tolvex.exe:
# one it cannot write, one it can, and one for a copy that is stopped by a signal.
# The user runs nothing from the build tree: the checkout may lie below a folder closed to others
# (root's home, a new user's home, one made by mktemp -d), so the test program is copied too, into
# the test's own folder under /tmp. Both programs are linked statically and the test program reads
# no file of the build tree, so the two copies are all the user needs.
set -eu
build=$1 tests=$2 exe=$3
# Whatever the caller's umask, the user can enter the folders made here and run the copies.
umask 022
. "$(dirname "$0")/../../tools/wine/environment.sh" "$build/wineprefix"
display=$(cat "$build/xvfb/display")
user=tolvex-test

work=$(mktemp -d /tmp/tolvex-store.XXXXXX)
chmod 755 "$work"
mkdir "$work/home" "$work/prefix" "$work/readonly" "$work/writable" "$work/stopped" "$work/tests"
for folder in readonly writable stopped; do
  cp "$exe" "$work/$folder/tolvex.exe"
done
cp "$tests" "$work/tests/"
tests=$work/tests/$(basename "$tests")
if [ "$(id -u)" -eq 0 ]; then
  # Another checkout's run may be making the user at the same moment.
  id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
    id "$user" >/dev/null
  chown "$user:" "$work/home" "$work/prefix" "$work/writable" "$work/stopped"
  as_user=(runuser -u "$user" --)
else
  user=$(id -un)
  as_user=()
fi
# Closed to the user, whoever owns it: root bypasses the mode, the other user does not.
chmod 555 "$work/readonly"

run() {
  "${as_user[@]}" env -i HOME="$work/home" USER="$user" LOGNAME="$user" \
    PATH=/usr/bin:/bin DISPLAY="$display" WINEPREFIX="$work/prefix" WINEDEBUG="$WINEDEBUG" \
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES" LANG="$LANG" LC_ALL="$LC_ALL" \
    TOLVEX_READONLY_DIR="$(windows_dir readonly)" TOLVEX_WRITABLE_DIR="$(windows_dir writable)" \
    TOLVEX_STOPPED_DIR="$(windows_dir stopped)" "$@"
}
windows_dir() {
  echo "Z:${work//\//\\}\\$1\\"
}
# The user's server ends every process of the prefix, a stopped one too (it is killed, not asked).
cleanup() {
  run wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

cd "$work/home"
log=$work/boot.log
run "${TolvexWine[@]}" wineboot -i >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
# As in the shared prefix (tools/wine/test-display.sh): no window manager on the display, so Wine places
# every window itself.
run "${TolvexWine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$log" 2>&1 ||
  { cat "$log" >&2; exit 1; }
# Through a file, as tools/wine/run-test-program.sh explains: the prefix's system processes keep the test
# runner's pipe open.
out=$work/tests.log
status=0
run "${TolvexWine[@]}" "$tests" >"$out" 2>&1 || status=$?
cat "$out"
exit $status
