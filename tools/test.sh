#!/usr/bin/env bash
# Runs every test under Wine on a display of its own: `tools/test.sh [ctest arguments]`.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

build=$(quill_runnable_build)
if quill_can_run_32bit; then
    echo "Test path: 32-bit programs run here; testing the shipped 32-bit build in $build," \
         "on 64-bit simulated desktops too through the download's QuillHost64.exe."
else
    echo "Test path: this machine cannot run 32-bit programs; testing the x86_64 build in" \
         "$build, with QuillHost64.exe started directly on a 64-bit simulated desktop; the" \
         "32-bit files are checked without running them."
fi
QUILL_OWN_DISPLAY=1
wine_env_start test
trap wine_env_stop EXIT
ctest --test-dir "$build" --output-on-failure -LE stress "$@"
