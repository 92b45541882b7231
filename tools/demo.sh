#!/usr/bin/env bash
# `make demo`: pictures of the simulated desktop's labels, opaque and then transparent in
# each text style, on an ordinary desktop and on one drawn with per-pixel alpha (alpha-*),
# and of the program's window and its open colour menu at 144 DPI, as build/demo/*.png.
# `tools/demo.sh --docs` also copies them to docs/.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

build=$(quill_runnable_build)
out="$QUILL_ROOT/build/demo"
rm -rf "$out"
mkdir -p "$out"
QUILL_OWN_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start demo
(cd "$out" && quill_wine "$build/bin/QuillDemo.exe" </dev/null)

# The default icons fill the top left corner; enlarged so the one-pixel copies show.
for bmp in "$out"/*.bmp; do
    convert "$bmp" -crop 460x80+0+0 +repage -filter point -resize 200% "${bmp%.bmp}.png"
    rm "$bmp"
done

# The program at 144 DPI, which every process started from now on sees, from a folder of
# its own for its settings file.
quill_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
mkdir -p "$out/app"
cp "$build/bin/Quillmere.exe" "$build/bin/QuillCore.dll" "$out/app/"
(cd "$out" && quill_wine "$build/bin/QuillDemo.exe" /program </dev/null)
quill_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
rm -rf "$out/app"
for bmp in "$out"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}-144dpi.png"
    rm "$bmp"
done
ls "$out"
if [ "${1:-}" = --docs ]; then
    for png in "$out"/[1-5]-*.png "$out"/alpha-*.png; do cp "$png" "$QUILL_ROOT/docs/labels-$(basename "$png")"; done
    for png in "$out"/[67]-*.png; do cp "$png" "$QUILL_ROOT/docs/program-$(basename "$png")"; done
fi
