#!/usr/bin/env bash
# The about window of the real program on a real X server: how it is shown, its cursor, and what
# the mail link hands to the desktop's URL handler. (The web link, the quit rule and a desktop with
# no URL handler are covered by e2e_about and tst_desktop_faults.)
# Usage: test_about.sh <zarnik binary> <tests build directory>
source "$(dirname "$0")/lib.sh"
zarnik="$1"
build_info="$2/../generated/BuildInfo.h"

setting() { sed -n "s/^#define $1 \"\?\([^\"]*\)\"\?\$/\1/p" "$build_info"; }
web="$(setting ZARNIK_WEB_ADDRESS)"
mail="$(setting ZARNIK_MAIL_ADDRESS)"
version="$(setting ZARNIK_VERSION_MAJOR).$(setting ZARNIK_VERSION_MINOR).$(setting ZARNIK_VERSION_PATCH)"
[ -n "$web" ] && [ -n "$mail" ] || x11_fail "no addresses in $build_info"

x11_start
unset BROWSER DEFAULT_BROWSER
work="$X11_RUNTIME"

# The program started with a stand-in for the desktop's URL handler that writes down what it was
# given.
mkdir "$work/bin"
cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
SCRIPT
chmod +x "$work/bin/xdg-open"
launcher() { # PATH for the program -> a script that starts it with that PATH
    local script="$work/zarnik-$RANDOM.sh"
    printf '#!/bin/sh\nPATH=%s exec %s\n' "$1" "$(realpath "$zarnik")" >"$script"
    chmod +x "$script"
    echo "$script"
}

# The about window is the program's only window of its size: 4905 x 3225 twips at 15 to the pixel,
# and a dialog edge of 3 pixels around them.
about_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null || true); do
        xdotool getwindowgeometry "$w" | grep -q 'Geometry: 333x221' && echo "$w"
    done
    return 0
}
main_window() { xdotool search --onlyvisible --name '^Zarnik v' 2>/dev/null | head -n 1 || true; }
about_open() { [ -n "$(about_window)" ]; }
about_gone() { [ -z "$(about_window)" ]; }
handler_called() { [ -s "$work/opened" ]; }
running() { kill -0 "$ZARNIK_PID" 2>/dev/null; }
wait_for() { # condition, what went wrong otherwise
    for _ in $(seq 50); do "$1" && return 0; sleep 0.1; done
    x11_fail "$2"
}

origin_of() { # window -> "x y"
    xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}
point_at() { # window, x, y (pixels in the window)
    local x0 y0
    read -r x0 y0 < <(origin_of "$1")
    xdotool mousemove --sync $((x0 + $2)) $((y0 + $3))
}
click_in() { point_at "$@"; xdotool click 1; }
open_about() { # "&О программе..." is the last item of the main window's menu bar
    click_in "$(main_window)" 276 8
    wait_for about_open "the about window did not open"
}
cursor_over() { # window, x, y -> "width height hot-x hot-y" of the pointer there
    point_at "$@"
    sleep 0.3
    /usr/bin/python3 - <<'PY'
from Xlib import display
d = display.Display()
d.xfixes_query_version()
image = d.xfixes_get_cursor_image(d.screen().root)
print(image.width, image.height, image.xhot, image.yhot)
PY
}
# Places in the window: the two links (centred, with their tops at 1830 and 2070 twips) and the
# description.
web_link=(166 131)
mail_link=(166 147)
description=(166 63)

x11_start_zarnik "$(launcher "$work/bin:/usr/bin:/bin")"

# Shown centred, with no caption bar and out of the task bar, but not as a dependent window.
open_about
about="$(about_window)"
x11_shot about
read -r ax ay < <(origin_of "$about")
[ "$ax" -eq $(((1280 - 333) / 2)) ] && [ "$ay" -eq $(((1024 - 221) / 2)) ] || x11_fail "not centred: $ax,$ay"
xprop -id "$about" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || x11_fail "in the task bar"
xprop -id "$about" WM_TRANSIENT_FOR | grep -q 'not found' || x11_fail "has an owner"
xprop -id "$about" _MOTIF_WM_HINTS | grep -q '= 0x2, 0x[0-9a-f]*, 0x0,' || x11_fail "has a caption bar"

# The hand over both links, with its hot spot at the finger tip; not over the other labels.
hand="32 32 7 0"
[ "$(cursor_over "$about" "${web_link[@]}")" = "$hand" ] || x11_fail "no hand over the web link"
[ "$(cursor_over "$about" "${mail_link[@]}")" = "$hand" ] || x11_fail "no hand over the mail link"
[ "$(cursor_over "$about" "${description[@]}")" != "$hand" ] || x11_fail "a hand over the description"

# The mail link: the blank of the subject reaches the handler encoded.
click_in "$about" "${mail_link[@]}"
wait_for about_gone "the about window stayed open after the mail link"
wait_for handler_called "the mail link never reached the URL handler"
expected="mailto:$mail?Subject=Zarnik%20v$version"
[ "$(cat "$work/opened")" = "$expected" ] ||
    x11_fail "mail link opened as '$(cat "$work/opened")', not '$expected'"
running || x11_fail "the program ended with the about window"

echo "PASS: about window on X11"
