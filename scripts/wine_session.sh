# Sourced by ./test and ./run: a private Wine prefix in a temporary folder and, without a
# display, an Xvfb screen of fixed size. Everything is stopped and removed on exit.

wine_session_cleanup() {
    [ -n "${TARNWICK_IDLE_FD:-}" ] && exec {TARNWICK_IDLE_FD}>&-
    if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX}" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [ -n "${TARNWICK_XVFB_PID:-}" ]; then
        kill "$TARNWICK_XVFB_PID" 2>/dev/null || true
        wait "$TARNWICK_XVFB_PID" 2>/dev/null || true
    fi
    for disk in "${TARNWICK_SESSION_DIR:-}/small" "${TARNWICK_SESSION_DIR:-}/readonly"; do
        if mountpoint -q "$disk" 2>/dev/null; then umount "$disk"; fi
    done
    [ -n "${TARNWICK_SESSION_DIR:-}" ] && rm -rf "$TARNWICK_SESSION_DIR"
    return 0
}

# Starts Xvfb on a free display number and exports DISPLAY.
wine_session_start_xvfb() {
    local displayfd="$TARNWICK_SESSION_DIR/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfd" >/dev/null 2>&1 &
    TARNWICK_XVFB_PID=$!
    local waited=0
    while [ ! -s "$displayfd" ]; do
        if ! kill -0 "$TARNWICK_XVFB_PID" 2>/dev/null || [ $waited -ge 100 ]; then
            echo "Xvfb did not start within 10 s" >&2
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(head -n1 "$displayfd")"
}

# Usage: wine_session_start [--xvfb]   (--xvfb: always use a virtual screen)
wine_session_start() {
    TARNWICK_SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-wine.XXXXXX")
    trap wine_session_cleanup EXIT
    if [ "${1:-}" = "--xvfb" ] || [ -z "${DISPLAY:-}" ]; then
        wine_session_start_xvfb
    fi
    export WINEPREFIX="$TARNWICK_SESSION_DIR/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    # One wineserver for the whole session, so that each test program starts quickly, and one
    # idle program that keeps Wine's own services running with their output going nowhere:
    # services started by a test program would inherit its output and keep ctest waiting.
    wineserver -p
    local idle="$TARNWICK_SESSION_DIR/idle"
    mkfifo "$idle"
    wine cmd /c "set /p idle=" <"$idle" >/dev/null 2>&1 &
    exec {TARNWICK_IDLE_FD}>"$idle"
}

# Two small disks for the tests of failing writes, where the machine allows mounting (as
# root): T: is a 256 KiB disk that a test can fill, R: a read-only disk holding readonly.txt.
# Without them those tests are skipped.
wine_session_small_disks() {
    [ "$(id -u)" -eq 0 ] || return 0
    local small="$TARNWICK_SESSION_DIR/small" readonly="$TARNWICK_SESSION_DIR/readonly"
    mkdir -p "$small" "$readonly"
    mount -t tmpfs -o size=256k tmpfs "$small" 2>/dev/null || return 0
    if mount -t tmpfs -o size=64k tmpfs "$readonly" 2>/dev/null; then
        printf 'read only' >"$readonly/readonly.txt"
        mount -o remount,ro "$readonly"
        ln -s "$readonly" "$WINEPREFIX/dosdevices/r:"
        export TARNWICK_READONLY_DRIVE='R:\'
    fi
    ln -s "$small" "$WINEPREFIX/dosdevices/t:"
    export TARNWICK_SMALL_DRIVE='T:\'
}
