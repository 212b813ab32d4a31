#!/usr/bin/env bash
# Times long lines through a Windows tolvexc.exe under Wine, in one process, less the time of as
# many one-character lines (Wine's start-up and the console output). Each line is PIECE repeated
# as often as the rewritten line, result included, still fits the 255 characters.
# usage: bench/wine-lines.sh BUILD_DIR [LINES] [PIECE]
#   BUILD_DIR  a Windows build tree (build/windows64 here), whose console/tolvexc.exe is timed
#   LINES      lines per run (default 20000)
#   PIECE      default: everyday trigonometry, "sin(37.5)*cos(112)+tan(-23)+"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: bench/wine-lines.sh BUILD_DIR [LINES] [PIECE]}" && pwd)
lines=${2:-20000}
piece=${3:-"sin(37.5)*cos(112)+tan(-23)+"}
exe=$build/console/tolvexc.exe
if [ ! -f "$exe" ]; then
  echo "wine-lines: no $exe (build the Windows preset first)" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Room for "0", "=" and a result of up to 14 characters.
line=$piece
while [ $((${#line} + ${#piece})) -le 239 ]; do line=$line$piece; done
line="${line}0"
copies() { awk -v n="$2" -v text="$1" 'BEGIN { for (i = 0; i < n; i++) print text }'; }
copies "$line" "$lines" >"$work/long.txt"
copies 1 "$lines" >"$work/short.txt"

now() { date +%s.%N; }
timed() {
  local start
  start=$(now)
  TOLVEX_BUILD_DIR=$build "$here/../tools/wine/run-test-program.sh" "$exe" <"$1" >"$work/out.txt"
  echo "$(now) - $start" | bc -l
}
# The median of three runs of each, the short lines first to warm Wine's prefix.
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
short=$(median "$(timed "$work/short.txt")" "$(timed "$work/short.txt")" "$(timed "$work/short.txt")")
long=$(median "$(timed "$work/long.txt")" "$(timed "$work/long.txt")" "$(timed "$work/long.txt")")
if [ "$(wc -l <"$work/out.txt")" -ne "$lines" ]; then
  echo "wine-lines: $exe did not answer every line" >&2
  exit 1
fi
printf 'line:         %s\n' "$line"
printf 'result:       %s\n' "$(head -1 "$work/out.txt" | tr -d '\r' | sed 's/.*=//')"
printf '%d lines:  %.3f s (%d one-character lines: %.3f s)\n' "$lines" "$long" "$lines" "$short"
printf 'per line:     %.2f us\n' "$(echo "($long - $short) * 1000000 / $lines" | bc -l)"
