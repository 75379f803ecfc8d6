#!/usr/bin/env bash
# The 501st vertex is refused with one message box; when the box is closed the main window is
# active again, which starts the outline over, as the focus rule says.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/lib.sh"
work="$(mktemp -d)"
trap 'x11_cleanup; rm -rf "$work"' EXIT

# Several tests may pick the same free display at once; the Xvfb that lost has exited, and this
# test would talk to the other one's server. Start again until the server is this test's own.
for _ in 1 2 3 4 5; do
    x11_start && sleep 0.5 && kill -0 "${X11_PIDS[-1]}" 2>/dev/null && break
done
kill -0 "${X11_PIDS[-1]}" 2>/dev/null || x11_fail "no X server of this test's own"
x11_start_zarnik "$1"
main="$(x11_window "Zarnik v1.5")"

geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }
geometry "$main"
surface_top=$((Y + HEIGHT - 293)) # the client area is 4395 twips high, below the menu bar
click_surface() {
    xdotool mousemove --sync $((X + $1)) $((surface_top + $2)) click 1
    sleep 0.2
}

# 501 fast clicks on one spot (fast second clicks come as double clicks: mouse-downs all the same).
xdotool mousemove --sync $((X + 100)) $((surface_top + 100)) click --repeat 501 --delay 5 1
box="$(x11_window "Zarnik" || x11_window "Zarnik")" || x11_fail "no message box for the 501st vertex"
sleep 1
boxes=$(xdotool search --onlyvisible --name '^Zarnik$' | wc -l)
[ "$boxes" -eq 1 ] || x11_fail "$boxes message boxes for one full outline"
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Zarnik$' >/dev/null 2>&1 || break
    sleep 0.2
done
xdotool search --onlyvisible --name '^Zarnik$' >/dev/null 2>&1 && x11_fail "the message box stays"

# The outline starts over after the box: the next clicks are vertices 0, 1 and 2.
click_surface 30 30
click_surface 200 40
click_surface 150 200
xdotool key alt+Cyrillic_pe # "&Пример"
sleep 0.5
xdotool key alt+Cyrillic_ka # "&Код"
code="$(x11_window "Программный код" || x11_window "Программный код")" ||
    x11_fail "the code window did not appear"
xdotool windowmove --sync "$code" 700 100
geometry "$code"
xdotool mousemove --sync $((X + 60)) $((Y + 140)) click 1
printf 'XY(499).X=100: XY(499).Y=100\r\nXY(500).X=100: XY(500).Y=100\r\nXY(0).X=30: XY(0).Y=30\r\n' \
    >"$work/expected"
for _ in $(seq 50); do
    xclip -o -selection clipboard >"$work/text" 2>/dev/null && grep -qF "XY(0).X=30" "$work/text" &&
        break
    sleep 0.2
done
grep -c '^XY(' "$work/text" >"$work/count" || true
# 501 lines from the clicks, three new ones and the closing line of the new outline.
[ "$(cat "$work/count")" -eq 505 ] || x11_fail "$(cat "$work/count") point lines, expected 505"
python3 - "$work/expected" "$work/text" <<'PY' || x11_fail "the new outline does not start at vertex 0"
import sys
expected = open(sys.argv[1], 'rb').read()
text = open(sys.argv[2], 'rb').read()
sys.exit(0 if expected in text else 1)
PY
echo "PASS: one message for a full outline; the outline starts over after it"
