#!/usr/bin/env bash
# Installs what is missing, builds tolvex.exe and starts it (under Wine on Linux).
# Without an X display it says so and offers the console calculator instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

if [ -z "${DISPLAY:-}" ]; then
  echo "tolvex: there is no X display here (DISPLAY is not set), so the window cannot be shown."
  echo "tolvex: starting the console calculator tolvexc instead: type an expression such as 12*3 and"
  echo "tolvex: press Enter; end with Ctrl+D. (With a display, run this command again for the window.)"
  cmake --preset native >/dev/null
  cmake --build --preset native --target tolvexc >/dev/null
  exec build/native/console/tolvexc
fi

# The product is the 32-bit program; a machine that runs no 32-bit programs gets the 64-bit build
# of the same sources.
preset=windows
if ! bash tools/wine/runs-32bit-programs.sh; then
  echo "tolvex: this machine runs no 32-bit programs, so the 64-bit build of tolvex starts instead"
  preset=windows64
fi
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target tolvex
. tools/wine/environment.sh "$PWD/build/$preset/run-wineprefix"
mkdir -p build/run
cp build/$preset/app/tolvex.exe build/run/tolvex.exe
echo "tolvex: starting build/run/tolvex.exe under Wine (its settings go to build/run/tolvex.ini)"
exec "${TolvexWine[@]}" build/run/tolvex.exe
