#!/usr/bin/env bash
# One end-to-end scenario on its own X server, session bus and accessibility bus.
# Arguments: the zarnik binary, the tests' build folder, the scenario, and the desktop: "bare", or
# features joined by "+": "wm" (openbox), "dpi120" (a 120-dpi screen), "font11" (an 11 pt desktop
# font through Qt's GTK theme). Screenshots go to <tests build folder>/e2e-screenshots.
if [ -z "${ZARNIK_E2E_BUS:-}" ]; then
    # A private session bus, so that the accessibility bus is this test's own.
    ZARNIK_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
X11_SHOTS="$2/e2e-screenshots"
source "$(dirname "$0")/../x11/lib.sh"
zarnik="$1"
scenario="$3"
desktop="$4"
has() { [[ "+$desktop+" == *"+$1+"* ]]; }
has dpi120 && export X11_DPI=120

for _ in 1 2 3 4 5; do
    x11_start && sleep 0.5 && kill -0 "${X11_PIDS[-1]}" 2>/dev/null && break
done
kill -0 "${X11_PIDS[-1]}" 2>/dev/null || x11_fail "no X server of this test's own"
xvfb=${X11_PIDS[-1]}
if has dpi120; then
    # Qt takes its dots per inch from the desktop's Xft.dpi resource, as desktops at 120 dpi set it.
    /usr/bin/python3 -c 'from Xlib import display, Xatom
d = display.Display()
d.screen().root.change_property(d.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8, b"Xft.dpi:\t120\n")
d.sync()' || x11_fail "could not set Xft.dpi"
fi

if has wm; then
    openbox --sm-disable >"$X11_RUNTIME/openbox.log" 2>&1 &
    X11_PIDS+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || x11_fail "openbox did not start"
fi

if has font11; then
    # The desktop's font as GTK settings give it; Qt's menus and widgets take it from there.
    mkdir -p "$X11_RUNTIME/config/gtk-3.0"
    printf '[Settings]\ngtk-font-name=DejaVu Sans 11\n' >"$X11_RUNTIME/config/gtk-3.0/settings.ini"
    export XDG_CONFIG_HOME="$X11_RUNTIME/config" QT_QPA_PLATFORMTHEME=gtk3
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
X11_PIDS+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The desktop's URL handler, replaced by one that writes down what it was asked to open and the
# environment it was given (the argument last, as the scenario waits for that file).
mkdir -p "$X11_RUNTIME/bin"
cat >"$X11_RUNTIME/bin/xdg-open" <<SCRIPT
#!/bin/sh
env >"$X11_RUNTIME/opened-environment"
printf '%s\n' "\$1" >"$X11_RUNTIME/opened"
SCRIPT
chmod +x "$X11_RUNTIME/bin/xdg-open"
export PATH="$X11_RUNTIME/bin:$PATH" X11_RUNTIME E2E_DESKTOP="$desktop"

status=0
shots_prefix="$scenario"
[ "$desktop" = bare ] || shots_prefix="$scenario-$desktop"
/usr/bin/python3 "$(dirname "$0")/drive.py" "$zarnik" "$X11_SHOTS" "$scenario" "$shots_prefix" ||
    status=$?
if [ $status -ne 0 ]; then
    echo "--- program output"
    cat "$X11_RUNTIME"/zarnik-*.log 2>/dev/null || true
    # An X server that went away under the test (another test's server claiming the same display)
    # says nothing about the program: run the scenario once more on a fresh server.
    if ! kill -0 "$xvfb" 2>/dev/null && [ -z "${ZARNIK_E2E_RETRY:-}" ]; then
        echo "--- the X server went away; running the scenario again"
        x11_cleanup
        trap - EXIT
        ZARNIK_E2E_RETRY=1 bash "$0" "$@"
        exit $?
    fi
fi
exit $status
