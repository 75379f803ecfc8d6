#!/usr/bin/env bash
# A click in a text box of the code window puts the box's whole text on the X clipboard, CR LF line
# ends included, byte for byte. Drives the real program on a private Xvfb.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/x11-session.sh"
zarnik="$1"
work="$(mktemp -d)"
trap 'cleanup; rm -rf "$work"' EXIT

start_xvfb
"$zarnik" &
started_pids+=($!)
main="$(wait_window '^Zarnik v')" || fail "the main window did not appear"
window_geometry "$main"
client_height=293 # 4395 twips at 15 twips per pixel; the menu bar sits above it
surface_top=$((Y + HEIGHT - client_height))

click_surface() { # x y, in pixels of the client area
    xdotool mousemove --sync $((X + $1)) $((surface_top + $2)) click 1
    sleep 0.2
}

# An outline, the polygon preview and the code window, through the menu mnemonics.
click_surface 30 40
click_surface 250 60
click_surface 150 250
xdotool key alt+Cyrillic_pe # "&Пример"
sleep 0.5
xdotool key alt+Cyrillic_ka # "&Код"
code="$(wait_window '^Программный код$')" || fail "the code window did not appear"

# Out of the way of the surface, so that the next clicks reach the main window.
xdotool windowmove --sync "$code" 700 100
window_geometry "$code"
code_x=$X
code_y=$Y
window_geometry "$main"

# Code has been generated: the next click starts over, the code window stays open and its
# procedure box collects the new outline's lines only.
click_surface 40 50
click_surface 201 60
click_surface 120 200
printf 'XY(0).X=40: XY(0).Y=50\r\nXY(1).X=201: XY(1).Y=60\r\nXY(2).X=120: XY(2).Y=200\r\n' \
    >"$work/expected"

# SaveFormat: 8 px from the left, 120 to 227 px from the top of the code window's client area.
xdotool mousemove --sync $((code_x + 60)) $((code_y + 140)) click 1
sleep 0.5
xclip -o -selection clipboard >"$work/save-format" || fail "no clipboard text after a click in SaveFormat"
cmp "$work/expected" "$work/save-format" || {
    od -c "$work/save-format" >&2
    fail "the clipboard does not hold SaveFormat's text byte for byte"
}

# A second click elsewhere in the box, after the caret was placed, still copies the whole text.
printf 'other' | xclip -i -selection clipboard
sleep 0.2
xdotool mousemove --sync $((code_x + 250)) $((code_y + 200)) click 1
sleep 0.5
xclip -o -selection clipboard >"$work/save-format-2" || fail "no clipboard text after the second click"
cmp "$work/expected" "$work/save-format-2" || fail "the second click did not copy the whole text"

# DeclareText: 32 to 97 px from the top. Its lines end in CR LF, never in a bare LF.
xdotool mousemove --sync $((code_x + 60)) $((code_y + 60)) click 1
sleep 0.5
xclip -o -selection clipboard >"$work/declare-text" || fail "no clipboard text after a click in DeclareText"
[ -s "$work/declare-text" ] || fail "DeclareText copied nothing"
cmp -s "$work/declare-text" "$work/expected" && fail "the DeclareText click copied SaveFormat"
crlf=$(grep -c $'\r$' "$work/declare-text" || true)
lf=$(tr -cd '\n' <"$work/declare-text" | wc -c)
[ "$crlf" -eq "$lf" ] && [ "$lf" -ge 1 ] ||
    fail "DeclareText's copy has $lf line ends, $crlf of them CR LF"

echo "PASS: clipboard holds the boxes' texts byte for byte"
