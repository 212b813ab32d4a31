#!/usr/bin/env bash
# Makes the README's pictures from the real program under Wine, in the test run's own display, and
# puts them into docs/: window.png, history.png, menu.png and the animation typing.gif.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
# The 32-bit product where this machine runs it, otherwise its 64-bit build: they look the same.
preset=windows
bash cmake/runs-32bit-programs.sh || preset=windows64
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target tolvex_readme_pictures
export TOLVEX_BUILD_DIR=$PWD/build/$preset
pictures=$TOLVEX_BUILD_DIR/tests/gui/readme-pictures
rm -rf "$pictures"
bash tests/wine-env.sh start "$TOLVEX_BUILD_DIR"
trap 'bash tests/wine-env.sh stop "$TOLVEX_BUILD_DIR" >/dev/null' EXIT
cmake/wine-run.sh "$TOLVEX_BUILD_DIR/tests/gui/tolvex_readme_pictures.exe"

# Each keystroke's frame shows for 0.6 s, the finished line for 3 s, then it starts again.
frames=("$pictures"/typing-*.png)
last=$((${#frames[@]} - 1))
convert -loop 0 -delay 60 "${frames[@]:0:$last}" -delay 300 "${frames[$last]}" +dither \
  -layers Optimize docs/typing.gif
# The test writes its PNG files uncompressed; these are compressed, without time stamps.
for picture in window history menu; do
  convert "$pictures/$picture.png" -strip "docs/$picture.png"
done
echo "readme-pictures: docs/window.png docs/history.png docs/menu.png docs/typing.gif"
