#!/usr/bin/env bash
# The about window of the real program on a real X server: how it is shown, what its links hand
# to the desktop's URL handler, and that it keeps the program running after the main window closes.
# Usage: test_about.sh <zarnik binary> <tests build directory>
set -euo pipefail
zarnik="$1"
build_info="$2/../generated/BuildInfo.h"

work="$(mktemp -d /tmp/zarnik-about-test.XXXXXX)"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

setting() { sed -n "s/^#define $1 \"\?\([^\"]*\)\"\?\$/\1/p" "$build_info"; }
web="$(setting ZARNIK_WEB_ADDRESS)"
mail="$(setting ZARNIK_MAIL_ADDRESS)"
version="$(setting ZARNIK_VERSION_MAJOR).$(setting ZARNIK_VERSION_MINOR).$(setting ZARNIK_VERSION_PATCH)"
[ -n "$web" ] && [ -n "$mail" ] || fail "no addresses in $build_info"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset BROWSER DEFAULT_BROWSER

# A stand-in for the desktop's URL handler that writes down what it was given.
mkdir "$work/bin" "$work/nobin"
cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
SCRIPT
chmod +x "$work/bin/xdg-open"

visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null || true; }
# The about window is the program's only window of its size: 4905 x 3225 twips at 15 to the pixel.
about_window() {
    local w
    for w in $(visible_windows); do
        xdotool getwindowgeometry "$w" | grep -q 'Geometry: 327x215' && echo "$w"
    done
    return 0
}
wait_for() { # condition command, what
    for _ in $(seq 50); do "$1" && return 0; sleep 0.1; done
    fail "$2"
}
about_open() { [ -n "$(about_window)" ]; }
about_gone() { [ -z "$(about_window)" ]; }
main_window() { xdotool search --onlyvisible --name "^Zarnik v" 2>/dev/null | head -1; }
main_shown() { [ -n "$(main_window)" ]; }
main_gone() { [ -z "$(main_window)" ]; }
handler_called() { [ -s "$work/opened" ]; }

origin_of() { # window -> "x y"
    xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}
click_in() { # window, x, y (pixels in the window)
    local x0 y0
    read -r x0 y0 < <(origin_of "$1")
    xdotool mousemove --sync $((x0 + $2)) $((y0 + $3)) click 1
}
open_about() { # "&О программе..." is the last item of the main window's menu bar
    click_in "$(main_window)" 276 8
    wait_for about_open "the about window did not open"
}
close_main_window() { # as the window manager's close button does
    /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object('window', int(sys.argv[1]))
protocols = d.intern_atom('WM_PROTOCOLS')
message = protocol.event.ClientMessage(window=w, client_type=protocols,
                                       data=(32, [d.intern_atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0]))
w.send_event(message)
d.flush()
PY
}
cursor_over() { # window, x, y -> "width height hot-x hot-y" of the pointer there
    local x0 y0
    read -r x0 y0 < <(origin_of "$1")
    xdotool mousemove --sync $((x0 + $2)) $((y0 + $3))
    sleep 0.3
    /usr/bin/python3 - <<'PY'
from Xlib import display
d = display.Display()
d.xfixes_query_version()
image = d.xfixes_get_cursor_image(d.screen().root)
print(image.width, image.height, image.xhot, image.yhot)
PY
}
start_zarnik() { # PATH for the program
    PATH="$1" "$zarnik" >"$work/zarnik.log" 2>&1 &
    zarnik_pid=$!
    pids+=($zarnik_pid)
    wait_for main_shown "the main window did not appear"
}
running() { kill -0 "$zarnik_pid" 2>/dev/null; }

start_zarnik "$work/bin:/usr/bin:/bin"

# Shown centred, with no caption bar and out of the task bar, but not as a dependent window.
open_about
about="$(about_window)"
read -r ax ay < <(origin_of "$about")
[ "$ax" -eq $(((1280 - 327) / 2)) ] && [ "$ay" -eq $(((1024 - 215) / 2)) ] || fail "not centred: $ax,$ay"
xprop -id "$about" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "in the task bar"
xprop -id "$about" WM_TRANSIENT_FOR | grep -q 'not found' || fail "has an owner"
xprop -id "$about" _MOTIF_WM_HINTS | grep -q '= 0x2, 0x[0-9a-f]*, 0x0,' || fail "has a caption bar"

# The hand over both links, with its hot spot at the finger tip; not over the other labels.
hand="32 32 7 0"
[ "$(cursor_over "$about" $((92 + 10)) $((122 + 6)))" = "$hand" ] || fail "no hand over the web link"
[ "$(cursor_over "$about" $((106 + 10)) $((138 + 6)))" = "$hand" ] || fail "no hand over the mail link"
[ "$(cursor_over "$about" 163 60)" != "$hand" ] || fail "a hand over the description"

# The command again brings back the same window: no second one.
open_about
[ "$(about_window)" = "$about" ] || fail "a second about window: $(about_window)"

# The web link, left top at 1380, 1830 twips.
click_in "$about" $((92 + 10)) $((122 + 6))
wait_for about_gone "the about window stayed open after the web link"
wait_for handler_called "the web address never reached the URL handler"
[ "$(cat "$work/opened")" = "$web" ] || fail "web link opened as '$(cat "$work/opened")'"
rm "$work/opened"

# The mail link, left top at 1590, 2070 twips; the blank of the subject reaches the handler encoded.
open_about
click_in "$(about_window)" $((106 + 10)) $((138 + 6))
wait_for about_gone "the about window stayed open after the mail link"
wait_for handler_called "the mail link never reached the URL handler"
expected="mailto:$mail?Subject=Zarnik%20v$version"
[ "$(cat "$work/opened")" = "$expected" ] || fail "mail link opened as '$(cat "$work/opened")', not '$expected'"
running || fail "the program ended with the about window"

# The main window closes while the about window is open: the program goes on until it closes too.
open_about
close_main_window "$(main_window)"
wait_for main_gone "the main window did not close"
sleep 1
running || fail "the program ended with the main window while the about window was open"
about_open || fail "the about window closed with the main window"
click_in "$(about_window)" 3 212 # the background
for _ in $(seq 50); do running || break; sleep 0.1; done
running && fail "the program still runs after its last window closed"
wait "$zarnik_pid" || fail "the program ended with status $?"

# With no URL handler at all, a link click still closes the window at once and nothing hangs.
start_zarnik "$work/nobin"
open_about
click_in "$(about_window)" $((92 + 10)) $((122 + 6))
wait_for about_gone "the about window stayed open when no URL handler exists"
open_about
running || fail "the program ended after a link with no URL handler"
close_main_window "$(main_window)"
click_in "$(about_window)" 3 212
for _ in $(seq 50); do running || break; sleep 0.1; done
running && fail "the program still runs after its last window closed"
echo "PASS: about window on X11"
