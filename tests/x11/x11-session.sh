# Shared by the tests that run Zarnik on a real X server: a private Xvfb on a free display at
# 96 dpi (15 twips per pixel), a private runtime folder, and clean-up of what the test started.
# Sourced, not run: the CTest glob takes only test_*.sh.

set -euo pipefail

started_pids=()
runtime_dir="$(mktemp -d /tmp/zarnik-x11.XXXXXX)"
chmod 700 "$runtime_dir"
export XDG_RUNTIME_DIR="$runtime_dir"
export QT_ENABLE_HIGHDPI_SCALING=0
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

cleanup() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${started_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$runtime_dir"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

start_xvfb() {
    local n
    for n in $(seq 120 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
        local pid=$!
        started_pids+=("$pid")
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    done
    fail "no Xvfb could be started"
}

# Waits until a visible window whose name matches the pattern exists; prints its id.
wait_window() {
    local pattern="$1" id
    for _ in $(seq 100); do
        id="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Sets X, Y, WIDTH and HEIGHT to a window's position and size on the screen.
window_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
}
