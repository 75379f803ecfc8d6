#!/usr/bin/env bash
# A second copy of the program shows only its message box, ends with exit status 0 after OK, and
# leaves the first copy running. A copy killed outright does not keep a later start from running.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/lib.sh"
zarnik="$1"

x11_start
x11_start_zarnik "$zarnik"
first=$ZARNIK_PID
main="$(x11_window "Zarnik v1.5")"

"$zarnik" >/dev/null 2>&1 &
second=$!
X11_PIDS+=("$second")
box="$(x11_window "Zarnik" || x11_window "Zarnik")" || x11_fail "the second copy showed no message box titled Zarnik"
mains=$(xdotool search --onlyvisible --name '^Zarnik v' | wc -l)
[ "$mains" -eq 1 ] || x11_fail "$mains main windows are shown while the second copy's box is up"
kill -0 "$second" 2>/dev/null || x11_fail "the second copy ended before its box was dismissed"

xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$second" 2>/dev/null && x11_fail "the second copy still runs 5 s after OK"
status=0
wait "$second" || status=$?
[ "$status" -eq 0 ] || x11_fail "the second copy ended with status $status"

kill -0 "$first" 2>/dev/null || x11_fail "the first copy ended"
xdotool search --onlyvisible --name '^Zarnik v1\.5$' | grep -qx "$main" ||
    x11_fail "the first copy's main window is gone"

# A copy that was killed leaves no stale claim behind.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
# Started by hand rather than with x11_start_zarnik: a busy machine may need more than its wait.
"$zarnik" >"$X11_RUNTIME/third.log" 2>&1 &
third=$!
X11_PIDS+=("$third")
x11_window "Zarnik v1.5" >/dev/null || x11_window "Zarnik v1.5" >/dev/null || {
    xdotool search --onlyvisible --name . getwindowname %@ || true
    cat "$X11_RUNTIME/third.log"
    ps -o pid,stat,wchan:30,cmd -p "$third" || true
    ls -la "$X11_RUNTIME"
    x11_fail "no main window after the first copy was killed"
}
sleep 1
xdotool search --onlyvisible --name '^Zarnik$' >/dev/null 2>&1 &&
    x11_fail "the copy started after the kill showed the message box"
kill -0 "$third" 2>/dev/null || x11_fail "the copy started after the kill ended"

echo "PASS: one copy at a time; the second ends after its message"
