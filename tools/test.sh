#!/usr/bin/env bash
# Installs what is missing, then builds every configuration and runs every test:
# the engine natively, under the sanitizers and under Wine, the Windows program and its GUI
# tests in a virtual display, and a bounded fuzzing run.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh || exit 1

presets=(native asan windows fuzz)
failed=()
passed=()
# The Windows tests run the 32-bit product under Wine. Where the machine runs no 32-bit programs
# (see tools/wine/runs-32bit-programs.sh), the product is still built, and the same tests run on the
# 64-bit build of the same sources under 64-bit Wine instead.
if ! bash tools/wine/runs-32bit-programs.sh; then
  echo "==== windows (build only: this machine runs no 32-bit programs) ===="
  if cmake --preset windows >build-windows.log 2>&1 || { cat build-windows.log; false; }; then
    if cmake --build --preset windows --target tolvex tolvexc; then
      passed+=("windows-build")
    else
      failed+=("windows-build")
    fi
  else
    failed+=("windows-build")
  fi
  echo "the Windows tests run on the 64-bit build of the same sources (preset windows64)"
  presets=(native asan windows64 fuzz)
fi
for preset in "${presets[@]}"; do
  echo "==== $preset ===="
  if cmake --preset "$preset" >"build-$preset.log" 2>&1 || { cat "build-$preset.log"; false; }; then
    rm -f "build-$preset.log"
    if cmake --build --preset "$preset" && ctest --preset "$preset"; then
      passed+=("$preset")
      continue
    fi
  fi
  failed+=("$preset")
done
rm -f build-*.log

echo "==== summary ===="
echo "configurations passed: ${passed[*]:-none}"
echo "configurations failed: ${failed[*]:-none}"
echo "${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
