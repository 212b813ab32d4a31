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
