# Shared by the tests that need a real X server. Source it, then call x11_start.
#   x11_start            starts Xvfb on a free display (at X11_DPI dots per inch, 96 unless set),
#                        with a private runtime folder
#   x11_start_zarnik BIN starts the program and waits for its main window; sets ZARNIK_PID
#   x11_window NAME      prints the id of the visible window with that exact title
#   x11_shot NAME        saves a screenshot of the whole screen to $X11_SHOTS/NAME.png
# Everything started here is stopped when the script exits.

set -euo pipefail

X11_SHOTS="${X11_SHOTS:-${2:-/tmp}/screenshots}"
mkdir -p "$X11_SHOTS"
X11_PIDS=()

x11_cleanup() {
    for pid in "${X11_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${X11_RUNTIME:-}" ] && rm -rf "$X11_RUNTIME"
}
trap x11_cleanup EXIT

x11_start() {
    X11_RUNTIME="$(mktemp -d /tmp/zarnik-x11.XXXXXX)"
    chmod 700 "$X11_RUNTIME"
    # Xvfb picks a free display itself and writes its number, so parallel tests never share one;
    # -noreset keeps it from resetting between one client leaving and the next arriving.
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -dpi "${X11_DPI:-96}" -nolisten tcp -noreset >"$X11_RUNTIME/display" 2>/dev/null &
    X11_PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$X11_RUNTIME/display" ] && break
        sleep 0.1
    done
    [ -s "$X11_RUNTIME/display" ] || { echo "Xvfb did not start"; return 1; }
    export DISPLAY=":$(head -n 1 "$X11_RUNTIME/display")"
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb on $DISPLAY does not answer"; return 1; }
    # The Cyrillic letters of the access keys get key codes of their own. Otherwise xdotool lends a
    # spare key code to each key it sends and takes it back at once, and a program slow to read
    # the key finds the code meaning nothing by then.
    local spare=($(xmodmap -pke | awk 'NF == 3 && $2 > 8 {print $2}'))
    xmodmap -e "keycode ${spare[0]} = Cyrillic_es Cyrillic_ES" -e "keycode ${spare[1]} = Cyrillic_pe Cyrillic_PE" \
        -e "keycode ${spare[2]} = Cyrillic_ka Cyrillic_KA" -e "keycode ${spare[3]} = Cyrillic_o Cyrillic_O"
    export XDG_RUNTIME_DIR="$X11_RUNTIME"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}

x11_window() {
    local id
    for _ in $(seq 100); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "no visible window named '$1'" >&2
    return 1
}

x11_start_zarnik() {
    "$1" >"$X11_RUNTIME/zarnik.log" 2>&1 &
    ZARNIK_PID=$!
    X11_PIDS+=($ZARNIK_PID)
    x11_window "Zarnik v1.5" >/dev/null
}

x11_shot() {
    import -window root "$X11_SHOTS/$1.png"
}

# Fails the test with a message.
x11_fail() {
    echo "FAIL: $*"
    exit 1
}
