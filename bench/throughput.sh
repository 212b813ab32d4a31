#!/usr/bin/env bash
# Whole-process throughput: times tolvexc and bc -l on the same generated lines of arithmetic.
# usage: bench/throughput.sh [TOLVEXC] [LINES]   (defaults: build/native/console/tolvexc, 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
tolvexc=${1:-build/native/console/tolvexc}
lines=${2:-1000000}
if [ ! -x "$tolvexc" ]; then
  echo "throughput: no tolvexc at $tolvexc (build the native preset first)" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Fixed-seed mixed arithmetic in the syntax both programs share: + - * / and parentheses on
# integers and decimals. tolvexc gets the lines as they are; bc needs a scale for its division.
awk -v n="$lines" 'BEGIN {
  srand(12345)
  split("+ - * /", ops, " ")
  for (i = 0; i < n; i++) {
    a = int(rand() * 100000); b = int(rand() * 1000) + 1; c = int(rand() * 100) / 4 + 1
    d = int(rand() * 9999) + 1
    printf "(%d%s%d)%s%g%s%d\n", a, ops[int(rand() * 4) + 1], b, ops[int(rand() * 4) + 1], c,
      ops[int(rand() * 2) + 1], d
  }
}' >"$work/lines.txt"
{ echo "scale=13"; cat "$work/lines.txt"; } >"$work/bc.txt"

now() { date +%s.%N; }
seconds() { echo "$2 - $1" | bc -l; }

start=$(now)
"$tolvexc" <"$work/lines.txt" >"$work/tolvexc.out" || true
tolvexc_s=$(seconds "$start" "$(now)")
start=$(now)
bc -l <"$work/bc.txt" >"$work/bc.out"
bc_s=$(seconds "$start" "$(now)")

got=$(wc -l <"$work/tolvexc.out")
failed=$(grep -c '=?$' "$work/tolvexc.out" || true)
printf 'lines:        %d (tolvexc wrote %d, %d of them "?")\n' "$lines" "$got" "$failed"
printf 'tolvexc:      %8.3f s  %12.0f lines/s\n' "$tolvexc_s" "$(echo "$lines / $tolvexc_s" | bc -l)"
printf 'bc -l:        %8.3f s  %12.0f lines/s\n' "$bc_s" "$(echo "$lines / $bc_s" | bc -l)"
printf 'tolvexc is %.1f times as fast as bc -l\n' "$(echo "$bc_s / $tolvexc_s" | bc -l)"
echo "sample:"
head -3 "$work/tolvexc.out" | sed 's/^/  /'
