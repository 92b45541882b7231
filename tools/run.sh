#!/usr/bin/env bash
# `make run`: starts the simulated desktop and Quillmere under Wine and leaves them
# running; `make stop` ends exactly what this started. Without a display it starts
# Xvfb and saves a screenshot to build/screenshots/run.png.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

state="$QUILL_ROOT/build/run.state"
if [ -f "$state" ]; then
    echo "Already running; 'make stop' ends it." >&2
    exit 1
fi

build=$(quill_runnable_build)
quill_say_build
had_display=${DISPLAY:-}
# Whatever fails from here on leaves nothing running; success keeps it all.
started=0
trap '[ "$started" = 1 ] || { wine_env_stop; rm -f "$state"; }' EXIT
wine_env_start run
echo "QUILL_XVFB_PID=${QUILL_XVFB_PID:-}" >"$state"
echo "WINEPREFIX=$WINEPREFIX" >>"$state"

# The program runs from a folder of its own, so its settings file stays there.
app="$QUILL_ROOT/build/run-app"
mkdir -p "$app"
cp "$build/bin/Quillmere.exe" "$build/bin/QuillCore.dll" "$app/"

# The desktop must exist before the program looks for it; it says so with a file.
rm -f "$app/SimDesktop.ready"
(cd "$app" && quill_wine "$build/bin/SimDesktop.exe" /ready /traycorner) </dev/null >/dev/null 2>&1 &
echo "SIMDESK_PID=$!" >>"$state"
for _ in $(seq 300); do
    [ -f "$app/SimDesktop.ready" ] && break
    sleep 0.1
done
if [ ! -f "$app/SimDesktop.ready" ]; then
    echo "The simulated desktop did not come up within 30 seconds." >&2
    exit 1
fi
quill_wine "$app/Quillmere.exe" </dev/null >/dev/null 2>&1 &
echo "APP_PID=$!" >>"$state"
started=1

echo "Quillmere runs on the simulated desktop (DISPLAY=$DISPLAY). 'make stop' ends it."
if [ -z "$had_display" ]; then
    # Time for the window to show and paint; only the picture depends on it.
    sleep 4
    mkdir -p "$QUILL_ROOT/build/screenshots"
    import -window root "$QUILL_ROOT/build/screenshots/run.png"
    echo "Screenshot: $QUILL_ROOT/build/screenshots/run.png"
fi
