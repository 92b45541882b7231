#!/usr/bin/env bash
# `make stop`: ends what `make run` started, and nothing else.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"

state="$QUILL_ROOT/build/run.state"
[ -f "$state" ] || { echo "Nothing to stop."; exit 0; }
# shellcheck disable=SC1090
source "$state"
export WINEPREFIX
wineserver -k >/dev/null 2>&1
for pid in ${APP_PID:-} ${SIMDESK_PID:-} ${QUILL_XVFB_PID:-}; do
    kill "$pid" 2>/dev/null
done
rm -f "$state"
echo "Stopped."
