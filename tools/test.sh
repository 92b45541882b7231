#!/usr/bin/env bash
# Runs every test under Wine on a display of its own: `tools/test.sh [ctest arguments]`.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

build=$(quill_runnable_build)
quill_say_build
QUILL_OWN_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start test
ctest --test-dir "$build" --output-on-failure -LE stress "$@"
