#!/usr/bin/env bash
# `make bench`: sizes of the shipped files, then the benchmarks under Wine on a display of
# their own. `tools/bench.sh [runs] [idle seconds]`. The figures also go to build/bench/.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

runs=${1:-7}
idle=${2:-60}
build=$(quill_runnable_build)
out="$QUILL_ROOT/build/bench"
mkdir -p "$out"

{
    echo "Shipped sizes (stripped):"
    echo
    echo "| File | Size | Target |"
    echo "|---|---|---|"
    for file in Quillmere.exe:48 QuillCore.dll:24 QuillCore64.dll:24 QuillHost64.exe:24; do
        stat -c "%s" "$QUILL_ROOT/build/bin/${file%%:*}" |
            awk -v name="${file%%:*}" -v target="${file##*:}" \
                '{ printf "| %s | %.1f KiB | at most %s KiB |\n", name, $1 / 1024, target }'
    done
    echo
} | tee "$out/sizes.md"

QUILL_OWN_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start bench
quill_wine "$build/bin/program_bench.exe" "$runs" "$idle" </dev/null | tr -d '\r' | tee "$out/program.md"
echo
quill_wine "$build/bin/startup_parts_bench.exe" "$runs" </dev/null | tr -d '\r' | tee "$out/startup_parts.md"
echo
# A style over its target (exit code 2) is reported in the table; the other benchmarks still run.
quill_wine "$build/bin/label_styles_bench.exe" </dev/null | tr -d '\r' | tee "$out/label_styles.md" ||
    echo "label styles: exit code $? (2: a style is over its target)"
echo
quill_wine "$build/bin/host64_bench.exe" </dev/null | tr -d '\r' | tee "$out/host64.md"
