#!/usr/bin/env bash
# Builds the release configuration and makes dist/tolvex-VERSION-win32.zip: tolvex.exe, tolvexc.exe,
# a Japanese and English readme and SHA256SUMS. Two runs from two clones, anywhere and at any time,
# give the same bytes (tests/release-reproducible.sh checks it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target release
