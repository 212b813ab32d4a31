#!/usr/bin/env bash
# Builds both release configurations and makes dist/tolvex-VERSION-win32.zip and
# dist/tolvex-VERSION-win64.zip, each with tolvex.exe, tolvexc.exe, a Japanese and English readme
# and SHA256SUMS. Two runs from two clones, anywhere and at any time, give the same bytes
# (tests/release-reproducible.sh checks it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
for preset in release release64; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset --target release
done
