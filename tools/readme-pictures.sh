#!/usr/bin/env bash
# Makes the README's pictures from the real program under Wine, in the test run's own display, and
# puts them into docs/: window.png, history.png, menu.png, the animation typing.gif, the window in a
# dark high-contrast scheme, window-high-contrast.png, and the window at 144 DPI, window-144dpi.png
# (from its test in a Wine prefix of its own, tests/gui/dpi144.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
# The 32-bit product where this machine runs it, otherwise its 64-bit build: they look the same.
preset=windows
bash tools/wine/runs-32bit-programs.sh || preset=windows64
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target tolvex_readme_pictures tolvex_dpi144_tests
export TOLVEX_BUILD_DIR=$PWD/build/$preset
pictures=$TOLVEX_BUILD_DIR/tools/readme-pictures
rm -rf "$pictures"
bash tools/wine/test-display.sh start "$TOLVEX_BUILD_DIR"
trap 'bash tools/wine/test-display.sh stop "$TOLVEX_BUILD_DIR" >/dev/null' EXIT
tools/wine/run-test-program.sh "$TOLVEX_BUILD_DIR/tools/tolvex_readme_pictures.exe"
bash tests/gui/dpi144.sh "$TOLVEX_BUILD_DIR" "$TOLVEX_BUILD_DIR/tests/gui/tolvex_dpi144_tests.exe"
convert "$TOLVEX_BUILD_DIR/tests/gui/dpi-pictures/window-144dpi.png" -strip docs/window-144dpi.png

# Each keystroke's frame shows for 0.6 s, the finished line for 3 s, then it starts again.
frames=("$pictures"/typing-*.png)
last=$((${#frames[@]} - 1))
convert -loop 0 -delay 60 "${frames[@]:0:$last}" -delay 300 "${frames[$last]}" +dither \
  -layers Optimize docs/typing.gif
# The test writes its PNG files uncompressed; these are compressed, without time stamps.
for picture in window history menu window-high-contrast; do
  convert "$pictures/$picture.png" -strip "docs/$picture.png"
done
echo "readme-pictures: docs/window.png docs/history.png docs/menu.png docs/typing.gif" \
  "docs/window-high-contrast.png docs/window-144dpi.png"
