#!/usr/bin/env bash
# Runs tools/test.sh against stand-ins, to check which configurations it builds and tests: the
# Windows tests of both word sizes where the machine runs 32-bit programs, of the 64-bit build
# alone (the 32-bit program only built) where it runs none, and a failing suite failing the run.
# A copy of tools/test.sh runs in a scratch tree whose install step and 32-bit check are
# stand-ins; cmake and ctest stand-ins come first on the PATH and only note how they were called.
#   whole_run_tests.sh SOURCE_DIR
set -u
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
for tool in cmake ctest; do
  # Ends with 1 when its command line is FAIL_COMMAND, else with 0.
  printf '#!/bin/sh\necho "%s $*" >>"$STANDIN_LOG"\n[ "%s $*" != "${FAIL_COMMAND:-}" ]\n' \
    "$tool" "$tool" >"$work/bin/$tool"
done
chmod +x "$work/bin"/*
status=0

# run NAME RUNS_32BIT(0|1) EXPECTED_STATUS [VAR=VALUE...]: a whole run in a fresh tree; its cmake and
# ctest calls go to $work/NAME.log.
run() {
  local name=$1 runs32=$2 expected=$3 tree=$work/$1
  shift 3
  mkdir -p "$tree/tools/wine"
  cp "$source/tools/test.sh" "$tree/tools/"
  printf '#!/bin/sh\nexit 0\n' >"$tree/tools/install-deps.sh"
  printf '#!/bin/sh\nexit %d\n' $((1 - runs32)) >"$tree/tools/wine/runs-32bit-programs.sh"
  env PATH="$work/bin:$PATH" STANDIN_LOG="$work/$name.log" "$@" bash "$tree/tools/test.sh" \
    >"$work/$name.out" 2>&1
  local got=$?
  if { [ "$expected" = 0 ] && [ $got -ne 0 ]; } || { [ "$expected" != 0 ] && [ $got -eq 0 ]; }; then
    echo "whole_run_test: $name: status $got, output:" >&2
    cat "$work/$name.out" >&2
    status=1
  fi
}

# expect NAME present|absent LINE: whether the run called exactly LINE.
expect() {
  if { [ "$2" = present ] && ! grep -qxF -- "$3" "$work/$1.log"; } ||
    { [ "$2" = absent ] && grep -qxF -- "$3" "$work/$1.log"; }; then
    echo "whole_run_test: $1: expected \"$3\" $2; the calls were:" >&2
    sed 's/^/  /' "$work/$1.log" >&2
    status=1
  fi
}

run both-word-sizes 1 0
for preset in native asan windows windows64 fuzz; do
  expect both-word-sizes present "cmake --build --preset $preset"
  expect both-word-sizes present "ctest --preset $preset"
done

run no-32bit-programs 0 0
expect no-32bit-programs present "cmake --build --preset windows --target tolvex tolvexc"
expect no-32bit-programs absent "ctest --preset windows"
for preset in native asan windows64 fuzz; do
  expect no-32bit-programs present "ctest --preset $preset"
done

run failing-64bit-suite 1 1 FAIL_COMMAND="ctest --preset windows64"
expect failing-64bit-suite present "ctest --preset fuzz"
grep -q "configurations failed: windows64$" "$work/failing-64bit-suite.out" ||
  { echo "whole_run_test: the failed 64-bit suite is not named in the summary" >&2; status=1; }
exit $status
