#!/usr/bin/env bash
# Checks the release: builds both word sizes from two copies of the sources at different paths, one
# after the other, compares the programs and the zips byte for byte, holds every program to 100 KB
# (they are small by design; the C++ runtime's exception support alone would add more) and to the
# rules Windows reads from the file (tools/check_programs.py, which making each zip applies too).
# release-reproducible.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
# Paths of different lengths and names: a build path left in a binary shifts or changes bytes.
copies=("$work/a/tolvex" "$work/second-copy/of/the/sources")

copy_sources() {
  mkdir -p "$1"
  if git -c safe.directory="$source" -C "$source" rev-parse --is-inside-work-tree \
    >/dev/null 2>&1; then
    # What a clone holds plus the files not yet committed, without any build tree (also in a
    # checkout another user owns).
    (cd "$source" && git -c safe.directory="$source" ls-files -z --cached --others --exclude-standard |
      tar --null --ignore-failed-read -T - -cf -) | tar -C "$1" -xf -
  else
    tar -C "$source" --exclude=./build --exclude=./dist -cf - . | tar -C "$1" -xf -
  fi
}

for copy in "${copies[@]}"; do
  copy_sources "$copy"
  for preset in release release64; do
    (cd "$copy" && cmake --preset $preset >/dev/null && cmake --build --preset $preset --target release \
      >"$work/build.log" 2>&1) || { cat "$work/build.log"; exit 1; }
  done
done

status=0
limit=102400
for file in build/release/app/tolvex.exe build/release/console/tolvexc.exe dist/tolvex-*-win32.zip \
  build/release64/app/tolvex.exe build/release64/console/tolvexc.exe dist/tolvex-*-win64.zip; do
  # The glob is expanded in each copy; both must have made the same file names.
  first=$(cd "${copies[0]}" && echo $file) second=$(cd "${copies[1]}" && echo $file)
  if [ "$first" != "$second" ] || [ ! -f "${copies[0]}/$first" ]; then
    echo "release-reproducible: $file is missing or named differently: $first, $second" >&2
    status=1
  elif ! cmp "${copies[0]}/$first" "${copies[1]}/$second"; then
    echo "release-reproducible: $first differs between the two builds; first differing bytes:" >&2
    cmp -l "${copies[0]}/$first" "${copies[1]}/$second" | head -8 >&2 || true
    status=1
  else
    size=$(wc -c <"${copies[0]}/$first")
    echo "release-reproducible: $first is the same in both builds ($size bytes)"
    if [ "${first%.exe}" != "$first" ] && [ "$size" -gt $limit ]; then
      echo "release-reproducible: $first has $size bytes, more than $limit" >&2
      status=1
    fi
  fi
done

# Each zip holds what a user needs, its checksums are those of the files beside them, and its
# programs are those of its word size.
for flavour in win32 win64; do
  build=build/release
  [ $flavour = win64 ] && build=build/release64
  zip=$(cd "${copies[0]}" && echo dist/tolvex-*-$flavour.zip)
  listed=$(unzip -Z1 "${copies[0]}/$zip" | tr '\n' ' ')
  if [ "$listed" != "tolvex.exe tolvexc.exe readme.txt SHA256SUMS " ]; then
    echo "release-reproducible: unexpected contents of $zip: $listed" >&2
    status=1
  fi
  unpacked=$work/unpacked-$flavour
  mkdir -p "$unpacked"
  unzip -q -o "${copies[0]}/$zip" -d "$unpacked"
  machine=x86
  [ $flavour = win64 ] && machine=amd64
  python3 "$source/tools/check_programs.py" --machine $machine --gui "$unpacked/tolvex.exe" \
    --console "$unpacked/tolvexc.exe" || status=1
  (cd "$unpacked" && sha256sum --check --strict --quiet SHA256SUMS) || status=1
  cmp "$unpacked/tolvex.exe" "${copies[0]}/$build/app/tolvex.exe" || status=1
  cmp "$unpacked/tolvexc.exe" "${copies[0]}/$build/console/tolvexc.exe" || status=1
done

[ $status -eq 0 ] && rm -rf "$work"
exit $status
