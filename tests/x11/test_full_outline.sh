#!/usr/bin/env bash
# The 501st vertex is refused with one message box; when the box is closed the main window is
# active again, which starts the outline over, as the focus rule says.
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
for _ in $(seq 50); do
    xclip -o -selection clipboard >"$work/text" 2>/dev/null && grep -qF "XY(0).X=30" "$work/text" &&
        break
    sleep 0.2
done
# The 501 clicks wrote their lines (the last into slot 500); then the new outline starts at 0.
python3 - "$work/text" <<'PY' || x11_fail "the lines after the full outline are wrong"
import sys
text = open(sys.argv[1], 'rb').read()
clicks = b''.join(b'XY(%d).X=100: XY(%d).Y=100\r\n' % (i, i) for i in range(501))
fresh = b'XY(0).X=30: XY(0).Y=30\r\nXY(1).X=200: XY(1).Y=40\r\nXY(2).X=150: XY(2).Y=200\r\n'
if clicks + fresh not in text:
    sys.stderr.write(text.decode('utf-8', 'replace')[-600:])
    sys.exit(1)
PY
echo "PASS: one message for a full outline; the outline starts over after it"
