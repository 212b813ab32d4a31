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
  exec build/native/tools/tolvexc
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target tolvex
. cmake/wine-environment.sh "$PWD/build/run-wineprefix"
mkdir -p build/run
cp build/windows/ui/tolvex.exe build/run/tolvex.exe
echo "tolvex: starting build/run/tolvex.exe under Wine (its settings go to build/run/tolvex.ini)"
exec wine build/run/tolvex.exe
