#!/usr/bin/env bash
# The polygon road on a real X server: a triangle traced on the main window, "&Пример", and the
# preview window shaped to it, measured from its outer corner; clicks outside the shape go past
# it, a click inside hides it; "&Код" and a click on the procedure box put the text on the
# clipboard.
#   $1  the zarnik program   $2  the tests' build folder (the screenshot goes there)
source "$(dirname "$0")/lib.sh"
zarnik="$1"

client_height_px=293 # 4395 twips at 15 twips per pixel; the menu bar lies above it
caption_bar_y=21     # a row of the preview's caption bar, from its outer top edge
triangle=(10 20 100 20 50 80)

x11_start
x11_start_zarnik "$zarnik"
main="$(x11_window "Zarnik v1.5")"
# Out of the middle of the screen, where the preview appears, so that nothing lies below it.
xdotool windowmove --sync "$main" 20 20
eval "$(xdotool getwindowgeometry --shell "$main")"
client_x=$X
client_y=$((Y + HEIGHT - client_height_px))

for i in 0 2 4; do
    xdotool mousemove --sync $((client_x + triangle[i])) $((client_y + triangle[i + 1])) click 1
    sleep 0.2
done
xdotool key alt+Cyrillic_pe # "&Пример"
preview="$(x11_window "Пример")" || x11_fail "the preview did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$preview")"
preview_x=$X
preview_y=$Y

# The window's shape on the server, in the window's own coordinates (its outer corner).
/usr/bin/python3 - "$preview" "${triangle[@]}" <<'PY' || x11_fail "the preview's shape is not the triangle"
import sys
from Xlib import display
from Xlib.ext import shape

window_id = int(sys.argv[1])
x0, y0, x1, y1, x2, y2 = map(int, sys.argv[2:8])
window = display.Display().create_resource_object("window", window_id)
rects = window.shape_get_rectangles(shape.SK.Bounding).rectangles
rows = {}
for r in rects:
    for y in range(r.y, r.y + r.height):
        rows.setdefault(y, []).append((r.x, r.x + r.width))
ok = True
def fail(message):
    global ok
    ok = False
    print("shape:", message)

# Two vertices on the top row, one at the bottom: (10,20), (100,20), (50,80).
if sorted(rows) != list(range(y0, y2)):
    fail(f"rows {min(rows, default=None)}..{max(rows, default=None)}, expected {y0}..{y2 - 1}")
for y, spans in sorted(rows.items()):
    spans.sort()
    if len(spans) != 1:
        fail(f"row {y} has {len(spans)} spans")
        continue
    left, right = spans[0]
    t = (y - y0) / (y2 - y0)
    want_left = x0 + t * (x2 - x0)
    want_right = x1 + t * (x2 - x1)
    if abs(left - want_left) > 1 or abs(right - want_right) > 1:
        fail(f"row {y}: [{left}, {right}) against the edges {want_left:.1f} and {want_right:.1f}")
if y0 in rows and rows[y0][0] != (x0, x1):
    fail(f"top row {rows[y0][0]}, expected [{x0}, {x1})")
print(f"shape: {len(rects)} rectangles, rows {min(rows, default=None)} to {max(rows, default=None)}")
sys.exit(0 if ok else 1)
PY

x11_shot preview-shape
shot="$X11_SHOTS/preview-shape.png"
rgb() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:; }
read -r r g b <<<"$(rgb $((preview_x + 55)) $((preview_y + 40)))"
[ "$r" -gt 100 ] && [ "$g" -lt 90 ] || x11_fail "inside the triangle, client area: ($r,$g,$b) is not the red picture"
read -r r g b <<<"$(rgb $((preview_x + 55)) $((preview_y + caption_bar_y)))"
[ "$b" -ge "$r" ] || x11_fail "inside the triangle, caption bar: ($r,$g,$b) is not the caption bar"
for point in "200 200" "5 5" "300 40" "55 100" "9 20" "100 20"; do
    set -- $point
    read -r r g b <<<"$(rgb $((preview_x + $1)) $((preview_y + $2)))"
    [ "$r $g $b" = "0 0 0" ] || x11_fail "outside the triangle at ($1,$2): ($r,$g,$b), not the root window"
done

# The code: "&Код", then a click on the procedure box copies it whole.
xdotool mousemove --sync $((client_x + 150)) $((client_y + 150))
xdotool key alt+Cyrillic_ka # "&Код"
code="$(x11_window "Программный код")" || x11_fail "the code window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$code")"
xdotool mousemove --sync $((X + 8 + 100)) $((Y + 120 + 40)) click 1 # the procedure box "SaveFormat"
sleep 0.5
expected="$(printf '%s\r\n' "Dim hRgn As Long" "" "ReDim XY(3) As Coordinates" "" \
    "XY(0).X=10: XY(0).Y=20" "XY(1).X=100: XY(1).Y=20" "XY(2).X=50: XY(2).Y=80" \
    "XY(3).X=10: XY(3).Y=20" "" "hRgn = CreatePolygonRgn(XY(0),3, 2)" \
    "Call SetWindowRgn(Me.hWnd, hRgn, True)" | od -An -c)"
actual="$(xclip -o -selection clipboard | od -An -c)"
[ "$actual" = "$expected" ] || x11_fail "clipboard:
$actual
expected:
$expected"

map_state() { xwininfo -id "$preview" | sed -n 's/.*Map State: //p'; }
[ "$(map_state)" = IsViewable ] || x11_fail "the preview is not shown before the clicks"

# Outside the shape, over what would be the preview's client area: the click goes past it.
xdotool mousemove --sync $((preview_x + 200)) $((preview_y + 200)) click 1
sleep 0.5
[ "$(map_state)" = IsViewable ] || x11_fail "a click outside the shape reached the preview"

# Inside the shape, on the client area: the preview hides.
xdotool mousemove --sync $((preview_x + 55)) $((preview_y + 40)) click 1
for _ in $(seq 30); do
    [ "$(map_state)" = IsUnMapped ] && break
    sleep 0.1
done
[ "$(map_state)" = IsUnMapped ] || x11_fail "a click inside the shape did not hide the preview"
kill -0 "$ZARNIK_PID" || x11_fail "the program is gone"
echo "PASS: preview shaped to the traced triangle; screenshot $shot"
