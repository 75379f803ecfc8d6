#!/usr/bin/env bash
# The parametric road on a real X server: the default ellipse and the default rounded rectangle
# each shown in the preview (screenshots), then the rounded rectangle's procedure text copied from
# the code window and read back from the clipboard, byte for byte.
#   $1 the zarnik binary, $2 the tests' build folder (screenshots go to $2/screenshots)
source "$(dirname "$0")/lib.sh"

x11_start
expected="$(mktemp)"
actual="$(mktemp)"
# On a failure the program's own output tells why.
trap 'status=$?; [ $status -eq 0 ] || cat "$X11_RUNTIME/zarnik.log"; rm -f "$expected" "$actual"; x11_cleanup' EXIT
x11_start_zarnik "$1"
main="$(x11_window "Zarnik v1.5")"

# Outer geometry of a window, frame included (there is no window manager).
geometry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y $WIDTH $HEIGHT"
}
read -r mx my mw mh <<<"$(geometry "$main")"
# The client area is 4980 x 4395 twips, 332 x 293 pixels at 96 dpi; the menu bar sits above it.
client_top=$((my + mh - 293))
[ $((mh - 293)) -gt 5 ] || x11_fail "no menu bar above the client area (window height $mh)"

click_at() {
    xdotool mousemove --sync "$1" "$2" click 1
    sleep 0.3
}

# "&Создать" is the first title of the menu bar; its two items follow one another.
choose_create_item() {
    click_at $((mx + 20)) $((my + (client_top - my) / 2))
    local i
    for ((i = 0; i < $1; i++)); do xdotool key --clearmodifiers Down; done
    xdotool key --clearmodifiers Return
    sleep 0.3
}

# The panel's button, in pixels from the client area's top-left corner, at its middle.
press_create() {
    click_at $((mx + $1)) $((client_top + $2))
}

# The preview lies over the main window; a click in the middle of its shape hides it.
hide_preview() {
    local px py
    read -r px py _ _ <<<"$(geometry "$1")"
    click_at $((px + 170)) $((py + 170))
    if xdotool search --onlyvisible --name "^Пример\$" >/dev/null 2>&1; then
        x11_fail "the preview did not hide on a click"
    fi
}

# "&Код" by its mnemonic, once the main window is active again (opening and closing a menu of its
# own makes it so).
open_code_window() {
    click_at $((mx + 20)) $((my + (client_top - my) / 2))
    xdotool key --clearmodifiers Escape
    sleep 0.2
    xdotool key --clearmodifiers alt+Cyrillic_ka
    sleep 0.5
}

preview_shape() {
    /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import display
from Xlib.ext import shape
d = display.Display()
w = d.create_resource_object('window', int(sys.argv[1]))
rects = w.shape_get_rectangles(shape.SK.Bounding).rectangles
xs = [r.x for r in rects] + [r.x + r.width for r in rects]
ys = [r.y for r in rects] + [r.y + r.height for r in rects]
print(len(rects), min(xs), min(ys), max(xs), max(ys))
PY
}

# Ellipse: panel button at (8, 120) + half of 147 x 25 pixels.
choose_create_item 1
x11_shot ellipse-panel
press_create $((8 + 73)) $((120 + 12))
preview="$(x11_window "Пример")"
sleep 0.5
x11_shot ellipse-preview
read -r n left top right bottom <<<"$(preview_shape "$preview")"
echo "ellipse shape: $n rectangles, bounds $left,$top - $right,$bottom"
[ "$n" -gt 20 ] || x11_fail "the preview is not clipped to an ellipse ($n rectangles)"
[ "$left" -ge 7 ] && [ "$top" -ge 7 ] && [ "$right" -le 333 ] && [ "$bottom" -le 333 ] ||
    x11_fail "ellipse shape outside (7, 7, 333, 333)"

hide_preview "$preview"

# Rounded rectangle: panel button at (8, 168) + half of 229 x 25 pixels.
choose_create_item 2
x11_shot roundrect-panel
press_create $((8 + 114)) $((168 + 12))
sleep 0.5
x11_shot roundrect-preview
read -r n left top right bottom <<<"$(preview_shape "$preview")"
echo "rounded rectangle shape: $n rectangles, bounds $left,$top - $right,$bottom"
[ "$n" -gt 20 ] || x11_fail "the preview's corners are not rounded ($n rectangles)"
[ "$left" -ge 7 ] && [ "$top" -ge 7 ] && [ "$right" -le 333 ] && [ "$bottom" -le 333 ] ||
    x11_fail "rounded rectangle shape outside (7, 7, 333, 333)"
[ "$right" -gt 300 ] && [ "$bottom" -gt 300 ] || x11_fail "rounded rectangle shape too small"

hide_preview "$preview"

# "&Код", then a click in the procedure box (client 120, 1800 twips; 297 x 107 pixels).
open_code_window
code="$(x11_window "Программный код")"
read -r cx cy _ _ <<<"$(geometry "$code")"
click_at $((cx + 8 + 100)) $((cy + 120 + 50))
x11_shot code-window

printf '%s\r\n' \
    'Dim MakeRegion As Long' \
    'MakeRegion = CreateRoundRectRgn(100 / Screen.TwipsPerPixelX, _' \
    '100 / Screen.TwipsPerPixelY, _' \
    '5000 / Screen.TwipsPerPixelX, _' \
    '5000/ Screen.TwipsPerPixelY, _' \
    '100,100)' \
    '' >"$expected"
printf '%s' 'Call SetWindowRgn(Me.hWnd, MakeRegion, True)' >>"$expected"
xclip -o -selection clipboard >"$actual"
if ! cmp "$expected" "$actual"; then
    echo "expected:"; od -c "$expected" | tail -n 5
    echo "clipboard:"; od -c "$actual" | tail -n 5
    x11_fail "the clipboard does not hold the rounded rectangle's procedure text"
fi
echo "PASS: $(wc -c <"$actual") bytes on the clipboard, ending in 'True)'"
