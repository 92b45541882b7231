#!/usr/bin/env bash
# Makes the download: <dist>/Quillmere/ with exactly what a user copies, the zip of that
# folder, Quillmere-<version>.zip, and its SHA-256 sum (checked with `sha256sum -c`).
#   tools/dist.sh <folder of the built files> <dist folder> <version>
set -euo pipefail
bin=$1 dist=$2 version=$3
root=$(cd "$(dirname "$0")/.." && pwd)
folder="$dist/Quillmere"
zip="Quillmere-$version.zip"

rm -rf "$folder" "$dist/$zip" "$dist/$zip.sha256"
mkdir -p "$folder"
cp "$bin/Quillmere.exe" "$bin/QuillCore.dll" "$bin/QuillCore64.dll" "$bin/QuillHost64.exe" "$folder/"
# The guide opens in Notepad: UTF-8 with a byte-order mark, and CR LF line ends.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$root/docs/README.txt"; } >"$folder/README.txt"

cd "$dist"
zip -q -X -r "$zip" Quillmere
sha256sum "$zip" >"$zip.sha256"
echo "$dist/$zip"
