#!/usr/bin/env bash
# `make stress`: the stress tests under Wine on a display of their own.
# QUILL_STRESS_SETTINGS_FILES sets how many generated settings files are tried (500).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

build=$(quill_runnable_build)
quill_say_build
QUILL_OWN_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start stress
ctest --test-dir "$build" --output-on-failure -L stress "$@"
