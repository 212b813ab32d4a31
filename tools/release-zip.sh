#!/usr/bin/env bash
# Packs a release zip from the built programs and the readme, the same bytes on every run:
# release-zip.sh VERSION FLAVOUR OUT_DIR TOLVEX_EXE TOLVEXC_EXE README SOURCE_DIR. Called by the
# build's "release" target (tools/release.sh); writes OUT_DIR/tolvex-VERSION-FLAVOUR.zip, where
# FLAVOUR is win32 or win64, the word size of the programs.
set -euo pipefail
version=$1 flavour=$2 out=$3 gui=$4 console=$5 readme=$6 source=$7
name=tolvex-$version-$flavour
# Every file carries the time of the sources, not of the build: SOURCE_DATE_EPOCH when the caller
# sets one, else the last commit's time, else the earliest time a zip can hold (1980-01-01). Only
# the sources' own repository counts, not one that a copy of them happens to lie in. A checkout that
# another user owns (root building a user's clone) is still this one's: git refuses such a
# repository unless told it is safe, and the zip would quietly take 1980.
epoch=${SOURCE_DATE_EPOCH:-}
if [ -z "$epoch" ] && [ -e "$source/.git" ]; then
  epoch=$(git -c safe.directory="$source" -C "$source" log -1 --format=%ct 2>/dev/null || true)
fi
epoch=${epoch:-315532800}

mkdir -p "$out"
# No zip for programs that Windows would not start or would treat as made for an older platform:
# Wine lets both pass, so the files themselves are held to Windows' rules first. A zip left from an
# earlier run goes too, so that none lies there looking like this run's.
machine=x86
[ "$flavour" = win64 ] && machine=amd64
if ! python3 "$(dirname "$0")/check_programs.py" --machine $machine --gui "$gui" --console "$console"; then
  rm -f "$out/$name.zip"
  echo "release: no $name.zip: its programs break the rules above" >&2
  exit 1
fi
stage=$out/$name.stage
rm -rf "$stage" && mkdir -p "$stage"
cp "$gui" "$stage/tolvex.exe"
cp "$console" "$stage/tolvexc.exe"
# Notepad on every Windows reads UTF-8 with its byte-order mark and CR LF line ends.
{ printf '\357\273\277'; sed 's/$/\r/' "$readme"; } >"$stage/readme.txt"
files=(tolvex.exe tolvexc.exe readme.txt)
(cd "$stage" && sha256sum "${files[@]}" >SHA256SUMS)
files+=(SHA256SUMS)

# zip keeps the Unix mode and the local time of each file: both are fixed here. -X leaves out the
# owner and the extra time fields, -D the directory entry; the order is the order given.
chmod 644 "${files[@]/#/$stage/}"
for f in "${files[@]}"; do
  TZ=UTC touch -d "@$epoch" "$stage/$f"
done
rm -f "$out/$name.zip"
(cd "$stage" && TZ=UTC zip -q -X -D -9 "../$name.zip" "${files[@]}")
rm -rf "$stage"
echo "release: $out/$name.zip"
