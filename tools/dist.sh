#!/usr/bin/env bash
# Makes the download: <dist>/Quillmere/ with exactly what a user copies, the zip of that
# folder, Quillmere-<version>.zip, and its SHA-256 sum (checked with `sha256sum -c`).
# The same sources give the same bytes: every file and zip entry carries the time of the
# last commit (SOURCE_DATE_EPOCH, when set, wins; outside git, the zip format's first
# possible time), and the entries go in a fixed order with fixed permissions.
#   tools/dist.sh <folder of the built files> <dist folder> <version>
set -euo pipefail
bin=$1 dist=$2 version=$3
root=$(cd "$(dirname "$0")/.." && pwd)
folder="$dist/Quillmere"
zip="Quillmere-$version.zip"
files=(QuillCore.dll QuillCore64.dll QuillHost64.exe Quillmere.exe README.txt)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi

rm -rf "$folder" "$dist/$zip" "$dist/$zip.sha256"
mkdir -p "$folder"
cp "$bin/Quillmere.exe" "$bin/QuillCore.dll" "$bin/QuillCore64.dll" "$bin/QuillHost64.exe" "$folder/"
# The guide opens in Notepad: UTF-8 with a byte-order mark, and CR LF line ends.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$root/docs/README.txt"; } >"$folder/README.txt"
chmod 755 "$folder"
chmod 644 "${files[@]/#/$folder/}"
touch -d "@$SOURCE_DATE_EPOCH" "${files[@]/#/$folder/}" "$folder"

cd "$dist"
# A zip entry's time is local time without a zone: UTC makes it the same everywhere; -X
# leaves out the extra fields that would carry owners and other times.
TZ=UTC zip -q -X "$zip" Quillmere/ "${files[@]/#/Quillmere/}"
sha256sum "$zip" >"$zip.sha256"
