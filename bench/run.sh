#!/usr/bin/env bash
# `make bench`: runs the benchmarks under Wine on a display of their own.
set -euo pipefail
source "$(dirname "$0")/../tools/wine-env.sh"

build=$(quill_runnable_build)
QUILL_OWN_DISPLAY=1
wine_env_start bench
trap wine_env_stop EXIT
quill_wine "$build/bin/label_styles_bench.exe" </dev/null
