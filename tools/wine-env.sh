# Sourced by the dev scripts: a Wine prefix of the project's own on an X display,
# with one persistent wineserver for the run.
#   wine_env_start NAME   prefix build/wine/NAME; starts Xvfb when no DISPLAY is set
#                         (or always, with QUILL_OWN_DISPLAY=1); fails, saying why, when
#                         there is no display to run on
#   wine_env_stop         ends that wineserver and the Xvfb started here; set it as the
#                         EXIT trap before wine_env_start, so a failed start cleans up too
#   quill_wine            the loader to run a built program with
# The product is 32-bit. Where this machine cannot run 32-bit code (32-bit Wine fails to
# start), the programs are built for x86_64 from the same sources and run with wine64.

QUILL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

quill_can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The build folder whose programs this machine can run: build/ or build/x64/.
quill_runnable_build() {
    if quill_can_run_32bit; then
        echo "$QUILL_ROOT/build"
        return
    fi
    local dir="$QUILL_ROOT/build/x64"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$QUILL_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$QUILL_ROOT/cmake/toolchain-x86_64-mingw.cmake" \
            -DQUILL_PRODUCT_DIR="$QUILL_ROOT/build/bin" >/dev/null
    fi
    cmake --build "$dir" -j"$(nproc)" >&2 || return 1
    echo "$dir"
}

# One line that says which build runs, for the output of every run.
quill_say_build() {
    if quill_can_run_32bit; then
        echo "Running the shipped 32-bit build (build/) under Wine; on 64-bit simulated" \
            "desktops the styles go through the download's QuillHost64.exe."
    else
        echo "This machine cannot run 32-bit programs: running the x86_64 build of the same" \
            "sources (build/x64/) under wine64, with QuillHost64.exe started directly on a" \
            "64-bit simulated desktop; the 32-bit files are checked without running."
    fi
}

quill_wine() {
    if quill_can_run_32bit; then wine "$@"; else /usr/lib/wine/wine64 "$@"; fi
}

# Starts an Xvfb of our own on a free display number and points DISPLAY at it.
quill_start_xvfb() {
    command -v Xvfb >/dev/null || { echo "Xvfb is not installed: run tools/install-deps.sh." >&2; return 1; }
    local fifo number
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    QUILL_XVFB_PID=$!
    # Xvfb writes its display number once it is ready; nothing comes when it fails.
    number=$(timeout 30 head -n1 "$fifo" || true)
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "Xvfb did not start, so there is no display to run on." >&2
        return 1
    fi
    export DISPLAY=":$number"
}

# A local display :N is reachable when its X socket exists; others are left to Wine.
quill_display_reachable() {
    local number=${DISPLAY#:}
    case "$DISPLAY" in
        :*) [ -S "/tmp/.X11-unix/X${number%%.*}" ] ;;
        *) return 0 ;;
    esac
}

# Wine turns Windows file names into Unix ones through the Unix locale's character set,
# which is ASCII for a locale that glibc does not have: names such as "Ж" or "ü" could not
# be made. The two locales the tests run under are compiled into the build folder once.
quill_compile_locales() {
    export LOCPATH="$QUILL_ROOT/build/locale"
    local name
    for name in zh_CN zh_TW; do
        [ -f "$LOCPATH/$name.UTF-8/LC_CTYPE" ] && continue
        mkdir -p "$LOCPATH"
        command -v localedef >/dev/null || { echo "localedef is missing: run tools/install-deps.sh." >&2; return 1; }
        # localedef warns about the locales' own definitions and exits 1 for warnings alone.
        localedef -i "$name" -f UTF-8 "$LOCPATH/$name.UTF-8" >/dev/null 2>&1 || true
        [ -f "$LOCPATH/$name.UTF-8/LC_CTYPE" ] || { echo "localedef could not compile $name.UTF-8." >&2; return 1; }
    done
}

wine_env_start() {
    quill_compile_locales || return 1
    export WINEPREFIX="$QUILL_ROOT/build/wine/${1:?a prefix name}"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # A 64-bit prefix runs 32-bit and 64-bit programs side by side, as the tests of the
    # 64-bit helper need; said outright, not left to the kind of loader that makes it.
    export WINEARCH=win64
    # Makes the ANSI code page 936; a test run under another code page sets LC_ALL again
    # for its own processes (tools/with-code-page.sh).
    # (bash itself may warn that it cannot take the locale: it looks before LOCPATH is set.)
    { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
    quill_can_run_32bit || export WINELOADER=/usr/lib/wine/wine64

    if [ -z "${DISPLAY:-}" ] || [ "${QUILL_OWN_DISPLAY:-0}" = 1 ]; then
        quill_start_xvfb || return 1
    elif ! quill_display_reachable; then
        echo "DISPLAY=$DISPLAY names no X server that is running here." \
            "Unset DISPLAY to have an Xvfb started for this run." >&2
        return 1
    fi

    if [ ! -f "$WINEPREFIX/.quill-ready-win64" ]; then
        # Half made, or made for 32-bit programs only: Wine refuses to change its kind.
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        quill_wine wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits for answers that never come on every hide.
        quill_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.quill-ready-win64"
    fi
    wineserver -p </dev/null >/dev/null 2>&1
    # 96 DPI unless a caller asks for another (QUILL_DPI): the tests run some suites at 144
    # and put 96 back after them, which a killed run would not have done.
    quill_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${QUILL_DPI:-96}" /f \
        </dev/null >/dev/null 2>&1
    # Starts Wine's own background processes now, away from the callers' output pipes:
    # started by a test, they would hold its output open and CTest would wait for them.
    quill_wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${QUILL_XVFB_PID:-}" ]; then
        kill "$QUILL_XVFB_PID" 2>/dev/null || true
        wait "$QUILL_XVFB_PID" 2>/dev/null || true
        QUILL_XVFB_PID=
    fi
}
