#!/usr/bin/env bash
# Checks that the release is reproducible: builds it from two copies of the sources at different
# paths, one after the other, and compares the programs and the zip byte for byte.
# release_reproducible.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
# Paths of different lengths and names: a build path left in a binary shifts or changes bytes.
copies=("$work/a/tolvex" "$work/second-copy/of/the/sources")

copy_sources() {
  mkdir -p "$1"
  if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # What a clone holds plus the files not yet committed, without any build tree.
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
      tar --null --ignore-failed-read -T - -cf -) | tar -C "$1" -xf -
  else
    tar -C "$source" --exclude=./build --exclude=./dist -cf - . | tar -C "$1" -xf -
  fi
}

for copy in "${copies[@]}"; do
  copy_sources "$copy"
  (cd "$copy" && cmake --preset release >/dev/null && cmake --build --preset release --target release \
    >"$work/build.log" 2>&1) || { cat "$work/build.log"; exit 1; }
done

status=0
for file in build/release/app/tolvex.exe build/release/tools/tolvexc.exe dist/tolvex-*-win32.zip; do
  # The glob is expanded in each copy; both must have made the same file names.
  first=$(cd "${copies[0]}" && echo $file) second=$(cd "${copies[1]}" && echo $file)
  if [ "$first" != "$second" ] || [ ! -f "${copies[0]}/$first" ]; then
    echo "release_reproducible: $file is missing or named differently: $first, $second" >&2
    status=1
  elif ! cmp "${copies[0]}/$first" "${copies[1]}/$second"; then
    echo "release_reproducible: $first differs between the two builds; first differing bytes:" >&2
    cmp -l "${copies[0]}/$first" "${copies[1]}/$second" | head -8 >&2 || true
    status=1
  else
    echo "release_reproducible: $first is the same in both builds ($(wc -c <"${copies[0]}/$first") bytes)"
  fi
done

# The zip holds what a user needs, and its checksums are those of the files beside them.
zip=$(cd "${copies[0]}" && echo dist/tolvex-*-win32.zip)
listed=$(unzip -Z1 "${copies[0]}/$zip" | tr '\n' ' ')
if [ "$listed" != "tolvex.exe tolvexc.exe readme.txt SHA256SUMS " ]; then
  echo "release_reproducible: unexpected contents of $zip: $listed" >&2
  status=1
fi
mkdir -p "$work/unpacked"
unzip -q -o "${copies[0]}/$zip" -d "$work/unpacked"
(cd "$work/unpacked" && sha256sum --check --strict --quiet SHA256SUMS) || status=1
cmp "$work/unpacked/tolvex.exe" "${copies[0]}/build/release/app/tolvex.exe" || status=1
cmp "$work/unpacked/tolvexc.exe" "${copies[0]}/build/release/tools/tolvexc.exe" || status=1

[ $status -eq 0 ] && rm -rf "$work"
exit $status
