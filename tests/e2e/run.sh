#!/usr/bin/env bash
# One scenario of drive.py on an X server, session bus and accessibility bus of its own. Usage:
# run.sh ZARNIK TESTS_BUILD_FOLDER SCENARIO DESKTOP; the desktop is "bare" or features joined by
# "+": "wm" (openbox), "dpi120" (a 120-dpi screen), "font11" (an 11 pt font through Qt's GTK theme).
[ -n "${E2E_BUS:-}" ] || E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
export E2E_RUNTIME="$(mktemp -d /tmp/zarnik-e2e.XXXXXX)" E2E_DESKTOP="$4"
export E2E_SHOTS="$2/e2e-screenshots" XDG_RUNTIME_DIR="$E2E_RUNTIME" PATH="$E2E_RUNTIME/bin:$PATH"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM WAYLAND_DISPLAY BROWSER
mkdir -p "$E2E_SHOTS" "$E2E_RUNTIME/bin"
cleanup() { kill $(jobs -p) 2>/dev/null; wait; rm -rf "$E2E_RUNTIME"; }
trap cleanup EXIT
has() { [[ "+$E2E_DESKTOP+" == *"+$1+"* ]]; }
within() { for _ in $(seq 100); do eval "$1" && return; sleep 0.1; done; echo "FAIL: $2"; exit 1; }

# Xvfb takes a free display and writes its number; -noreset keeps it from resetting when its last
# client leaves, which would drop a client connecting just then.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi "$(has dpi120 && echo 120 || echo 96)" -nolisten tcp \
    -noreset 3>"$E2E_RUNTIME/display" 2>/dev/null &
within '[ -s "$E2E_RUNTIME/display" ]' "Xvfb did not start"
export DISPLAY=":$(cat "$E2E_RUNTIME/display")"
if has wm; then
    openbox --sm-disable >"$E2E_RUNTIME/openbox.log" 2>&1 &
    within 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' "no openbox"
fi
if has font11; then # the desktop's font as GTK's settings give it, which Qt's GTK theme reads
    mkdir -p "$E2E_RUNTIME/gtk-3.0"
    printf '[Settings]\ngtk-font-name=DejaVu Sans 11\n' >"$E2E_RUNTIME/gtk-3.0/settings.ini"
    export XDG_CONFIG_HOME="$E2E_RUNTIME" QT_QPA_PLATFORMTHEME=gtk3
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
# The desktop's URL handler: this one writes down its environment and, last, what it was to open.
printf '#!/bin/sh\nenv >"%s/opened-environment"\necho "$1" >>"%s/opened"\n' "$E2E_RUNTIME" \
    "$E2E_RUNTIME" >"$E2E_RUNTIME/bin/xdg-open"
chmod +x "$E2E_RUNTIME/bin/xdg-open"

/usr/bin/python3 "$(dirname "$0")/drive.py" "$1" "$3" && exit 0
cat "$E2E_RUNTIME"/zarnik-*.log 2>/dev/null
# A server that went away or cannot be reached any more (another server taking its display) says
# nothing of the program: once more on a new one.
xdpyinfo >/dev/null 2>&1 || [ -n "${E2E_AGAIN:-}" ] || { cleanup; trap - EXIT
    exec env -u E2E_BUS -u XDG_RUNTIME_DIR E2E_AGAIN=1 bash "$0" "$@"; }
exit 1
