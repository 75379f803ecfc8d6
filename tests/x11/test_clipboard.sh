#!/usr/bin/env bash
# A click in a text box of the code window puts the box's whole text on the X clipboard, CR LF line
# ends included, byte for byte. Drives the real program on a private Xvfb.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/lib.sh"
work="$(mktemp -d)"
trap 'x11_cleanup; rm -rf "$work"' EXIT

x11_start
x11_start_zarnik "$1"
main="$(x11_window "Zarnik v1.5")"

# Reads the clipboard into a file until it equals the expected bytes, for up to ten seconds (a busy
# machine may take a while to deliver a click). True when it does.
clipboard_becomes() { # expected-file out-file
    for _ in $(seq 50); do
        xclip -o -selection clipboard >"$2" 2>/dev/null && cmp -s "$1" "$2" && return 0
        sleep 0.2
    done
    return 1
}

# Sets X, Y, WIDTH and HEIGHT to a window's place on the screen.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

geometry "$main"
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
code="$(x11_window "Программный код" || x11_window "Программный код")" ||
    x11_fail "the code window did not appear"

# Out of the way of the surface, so that the next clicks reach the main window.
xdotool windowmove --sync "$code" 700 100
geometry "$code"
code_x=$X
code_y=$Y
geometry "$main"

# Code has been generated: the next click starts over, the code window stays open and its
# procedure box collects the new outline's lines only.
click_surface 40 50
click_surface 201 60
click_surface 120 200
printf 'XY(0).X=40: XY(0).Y=50\r\nXY(1).X=201: XY(1).Y=60\r\nXY(2).X=120: XY(2).Y=200\r\n' \
    >"$work/expected"

# SaveFormat: 8 px from the left, 120 to 227 px from the top of the code window's client area.
xdotool mousemove --sync $((code_x + 60)) $((code_y + 140)) click 1
clipboard_becomes "$work/expected" "$work/save-format" || {
    od -c "$work/save-format"
    x11_fail "the clipboard does not hold SaveFormat's text byte for byte"
}

# A second click elsewhere in the box, after the caret was placed, still copies the whole text.
printf 'other' | xclip -i -selection clipboard
sleep 0.2
xdotool mousemove --sync $((code_x + 250)) $((code_y + 200)) click 1
clipboard_becomes "$work/expected" "$work/save-format-2" ||
    x11_fail "the second click did not copy the whole text"
x11_shot code-window

# DeclareText: 32 to 97 px from the top. Its lines end in CR LF, never in a bare LF.
xdotool mousemove --sync $((code_x + 60)) $((code_y + 60)) click 1
for _ in $(seq 50); do
    xclip -o -selection clipboard >"$work/declare-text" 2>/dev/null &&
        ! cmp -s "$work/declare-text" "$work/expected" && break
    sleep 0.2
done
cmp -s "$work/declare-text" "$work/expected" && x11_fail "the DeclareText click copied nothing new"
[ -s "$work/declare-text" ] || x11_fail "DeclareText copied nothing"
crlf=$(grep -c $'\r$' "$work/declare-text" || true)
lf=$(tr -cd '\n' <"$work/declare-text" | wc -c)
[ "$crlf" -eq "$lf" ] && [ "$lf" -ge 1 ] ||
    x11_fail "DeclareText's copy has $lf line ends, $crlf of them CR LF"

echo "PASS: the clipboard holds the boxes' texts byte for byte"
