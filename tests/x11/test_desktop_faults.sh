#!/usr/bin/env bash
# Faults of the desktop around the program: no display at all, a display that cannot be reached (also
# with Wayland asked for), the command line, and no clipboard manager (the copied text is served
# while the program runs, and it still ends at once).
# Usage: test_desktop_faults.sh <zarnik binary> <tests build directory>
source "$(dirname "$0")/lib.sh"
zarnik="$(realpath "$1")"
work="$(mktemp -d)"
trap 'x11_cleanup; rm -rf "$work"' EXIT

# Runs the program without a usable display: it must end by itself with a non-zero status and a
# message about the display, not by a signal (an abort is status 134) and not hang.
expect_clear_failure() { # what, then the environment changes for env
    local what="$1" status=0
    shift
    env "$@" timeout 20 "$zarnik" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -ne 124 ] || x11_fail "$what: still running after 20 s"
    [ "$status" -ne 0 ] || x11_fail "$what: ended with status 0"
    [ "$status" -lt 128 ] || x11_fail "$what: killed by signal $((status - 128)): $(cat "$work/err")"
    grep -q '^zarnik: .*display' "$work/err" || x11_fail "$what: no clear message: $(cat "$work/err")"
    echo "$what: status $status, \"$(head -n 1 "$work/err")\""
}

expect_clear_failure "no DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=
# Wayland asked for: the program runs on X11 (XWayland) and so needs an X display.
expect_clear_failure "Wayland, no DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=wayland
# A display number no server listens on.
missing=999
while [ -e "/tmp/.X11-unix/X$missing" ]; do missing=$((missing + 1)); done
expect_clear_failure "wayland-egl;xcb, DISPLAY=:$missing with no server" DISPLAY=":$missing" \
    "QT_QPA_PLATFORM=wayland-egl;xcb"

# The command line answers without a display and without taking the one-copy lock.
mkdir -m 700 "$work/session"
run_options() { # the options; sets status
    status=0
    env -u DISPLAY XDG_RUNTIME_DIR="$work/session" timeout 20 "$zarnik" "$@" >"$work/out" \
        2>"$work/err" || status=$?
}
run_options --version
[ "$status" -eq 0 ] && [ "$(cat "$work/out")" = "zarnik 1.5.15" ] ||
    x11_fail "--version: status $status, \"$(cat "$work/out" "$work/err")\""
run_options --help
[ "$status" -eq 0 ] && grep -q -- '--help' "$work/out" && grep -q -- '--version' "$work/out" ||
    x11_fail "--help: status $status, \"$(cat "$work/out" "$work/err")\""
run_options --bogus
[ "$status" -eq 2 ] && grep -q "bogus" "$work/err" ||
    x11_fail "--bogus: status $status, \"$(cat "$work/out" "$work/err")\""
[ -z "$(ls -A "$work/session")" ] || x11_fail "the options took the one-copy lock"
# Qt's own options go through to Qt: offscreen needs no display. A refused option ends the program
# at once; accepted, it takes its one-copy lock and runs until it is ended (no handler: status 143).
env -u DISPLAY XDG_RUNTIME_DIR="$work/session" "$zarnik" -platform offscreen -style Fusion \
    >"$work/out" 2>"$work/err" &
X11_PIDS+=($!)
for _ in $(seq 200); do
    [ -e "$work/session/zarnik.lock" ] || ! kill -0 "${X11_PIDS[-1]}" 2>/dev/null && break
    sleep 0.1
done
sleep 0.5
status=0
kill -0 "${X11_PIDS[-1]}" 2>/dev/null && kill -TERM "${X11_PIDS[-1]}"
wait "${X11_PIDS[-1]}" || status=$?
[ "$status" -eq 143 ] && [ -e "$work/session/zarnik.lock" ] ||
    x11_fail "-platform offscreen -style Fusion: status $status, $(cat "$work/err")"
echo "command line: --version, --help, --bogus (status 2) and Qt's options as expected"

# No clipboard manager runs on this server: nothing else owns the clipboard.
for _ in 1 2 3 4 5; do
    x11_start && sleep 0.5 && kill -0 "${X11_PIDS[-1]}" 2>/dev/null && break
done
kill -0 "${X11_PIDS[-1]}" 2>/dev/null || x11_fail "no X server of this test's own"
# A bare X server resets whenever its last client leaves, and drops a client that connects just
# then. One client stays connected for the whole test, as a desktop always has some.
xprop -root -spy >/dev/null 2>&1 &
X11_PIDS+=($!)
sleep 0.2
/usr/bin/python3 - <<'PY' || x11_fail "a clipboard manager runs on the test's server"
from Xlib import display
d = display.Display()
raise SystemExit(d.get_selection_owner(d.intern_atom('CLIPBOARD_MANAGER')) != 0)
PY
x11_start_zarnik "$zarnik"
main="$(x11_window "Zarnik v1.5")"
eval "$(xdotool getwindowgeometry --shell "$main")"
surface_top=$((Y + HEIGHT - 293)) # the client area is 293 px high, under the menu bar
for point in "30 40" "250 60" "150 250"; do
    set -- $point
    xdotool mousemove --sync $((X + $1)) $((surface_top + $2)) click 1
    sleep 0.2
done
xdotool key alt+Cyrillic_pe # "&Пример"
sleep 0.5
xdotool key alt+Cyrillic_ka # "&Код"
code="$(x11_window "Программный код")" || x11_fail "the code window did not appear"
xdotool windowmove --sync "$code" 700 100
eval "$(xdotool getwindowgeometry --shell "$code")"
xdotool mousemove --sync $((X + 60)) $((Y + 140)) click 1 # SaveFormat
copied=""
for _ in $(seq 50); do
    copied="$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r' || true)"
    [[ "$copied" == "Dim hRgn As Long"* ]] && break
    sleep 0.2
done
[[ "$copied" == "Dim hRgn As Long"* ]] || x11_fail "the clipboard is not served: '$copied'"
grep -q '^hRgn = CreatePolygonRgn(XY(0),3, 2)$' <<<"$copied" || x11_fail "wrong text: $copied"

# The user closes the main window: with nobody to take the clipboard over, the program must not
# wait for one.
/usr/bin/python3 - "$main" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object('window', int(sys.argv[1]))
w.send_event(protocol.event.ClientMessage(
    window=w, client_type=d.intern_atom('WM_PROTOCOLS'),
    data=(32, [d.intern_atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0])))
d.sync()  # the X server drops what it has not read of a client that has gone
PY
start=$(date +%s%N)
for _ in $(seq 100); do
    kill -0 "$ZARNIK_PID" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$ZARNIK_PID" 2>/dev/null && x11_fail "the program still runs 5 s after its last window closed"
status=0
wait "$ZARNIK_PID" || status=$?
[ "$status" -eq 0 ] || x11_fail "the program ended with status $status"
echo "no clipboard manager: text served, program ended $(( ($(date +%s%N) - start) / 1000000 )) ms after the close"
echo "PASS: desktop faults"
