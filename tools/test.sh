#!/usr/bin/env bash
# Installs what is missing, then builds every configuration and runs every test:
# the engine natively, under the sanitizers and under Wine, the Windows program and its GUI
# tests in a virtual display, and a bounded fuzzing run.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh || exit 1

# The release ships the program in both word sizes, so the Windows tests run on both builds, each
# under its own Wine: the 32-bit one in build/windows, the 64-bit one in build/windows64, each with
# its own prefix and display in its own folder. A machine that runs no 32-bit programs (see
# tools/wine/runs-32bit-programs.sh) still builds the 32-bit program, and tests the 64-bit one only.
presets=(native asan windows windows64 fuzz)
failed=()
passed=()
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
  echo "the Windows tests run on the 64-bit build of the same sources only (preset windows64)"
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
