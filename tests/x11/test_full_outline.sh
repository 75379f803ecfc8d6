#!/usr/bin/env bash
# The 501st vertex is refused with one message box. Closing the box leaves the outline full: the
# next click is refused with the message again, and "&Пример" makes the 500-vertex polygon.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/lib.sh"
work="$(mktemp -d)"
trap 'x11_cleanup; rm -rf "$work"' EXIT

x11_start
x11_start_zarnik "$1"
main="$(x11_window "Zarnik v1.5")"

geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }
geometry "$main"
surface_top=$((Y + HEIGHT - 293)) # the client area is 4395 twips high, below the menu bar
boxes() { xdotool search --onlyvisible --name '^Zarnik$' 2>/dev/null | wc -l; }
close_box() {
    xdotool windowfocus --sync "$1" key Return
    for _ in $(seq 50); do
        [ "$(boxes)" -eq 0 ] && return
        sleep 0.2
    done
    x11_fail "the message box stays"
}

# 501 fast clicks on one spot (fast second clicks come as double clicks: mouse-downs all the same).
xdotool mousemove --sync $((X + 100)) $((surface_top + 100)) click --repeat 501 --delay 5 1
box="$(x11_window "Zarnik" || x11_window "Zarnik")" || x11_fail "no message box for the 501st vertex"
sleep 1
[ "$(boxes)" -eq 1 ] || x11_fail "$(boxes) message boxes for one full outline"
close_box "$box"

# The window the box leaves is clicked again: no new outline, the message once more.
xdotool mousemove --sync $((X + 30)) $((surface_top + 40)) click 1
box="$(x11_window "Zarnik")" || x11_fail "no message box for a click on the full outline"
close_box "$box"
xdotool windowfocus --sync "$main" key alt+Cyrillic_pe # "&Пример"
sleep 0.5
xdotool key alt+Cyrillic_ka # "&Код"
code="$(x11_window "Программный код" || x11_window "Программный код")" ||
    x11_fail "the code window did not appear"
xdotool windowmove --sync "$code" 700 100
geometry "$code"
xdotool mousemove --sync $((X + 60)) $((Y + 140)) click 1
for _ in $(seq 50); do
    xclip -o -selection clipboard >"$work/text" 2>/dev/null && grep -qF "ReDim" "$work/text" && break
    sleep 0.2
done
# The 500 vertices, then the lines of the two refused clicks (each stored in slot 500), the closing
# line and the region of 500 points.
python3 - "$work/text" <<'PY' || x11_fail "the code of the full outline is wrong"
import sys
text = open(sys.argv[1], 'rb').read()
lines = b''.join(b'XY(%d).X=100: XY(%d).Y=100\r\n' % (i, i) for i in range(501))
expected = (b'Dim hRgn As Long\r\n\r\nReDim XY(500) As Coordinates\r\n\r\n' + lines +
            b'XY(500).X=30: XY(500).Y=40\r\nXY(500).X=100: XY(500).Y=100\r\n\r\n'
            b'hRgn = CreatePolygonRgn(XY(0),500, 2)\r\nCall SetWindowRgn(Me.hWnd, hRgn, True)\r\n')
if text != expected:
    sys.stderr.write(text.decode('utf-8', 'replace')[-600:])
    sys.exit(1)
PY
x11_shot full-outline
echo "PASS: a full outline is reported at each click and stays full after the message"
