#!/usr/bin/env bash
# A second copy of the program shows only its message box, ends with exit status 0 after OK, and
# leaves the first copy running. A copy killed outright does not keep a later start from running.
# Arguments: the zarnik binary, the tests' build folder.
source "$(dirname "$0")/x11-session.sh"
zarnik="$1"

start_xvfb

"$zarnik" &
first=$!
started_pids+=("$first")
main="$(wait_window '^Zarnik v1\.5$')" || fail "the first copy's main window did not appear"

"$zarnik" &
second=$!
started_pids+=("$second")
box="$(wait_window '^Zarnik$')" || fail "the second copy showed no message box titled Zarnik"
mains=$(xdotool search --onlyvisible --name '^Zarnik v' | wc -l)
[ "$mains" -eq 1 ] || fail "$mains main windows are shown while the second copy's box is up"
kill -0 "$second" 2>/dev/null || fail "the second copy ended before its box was dismissed"

xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$second" 2>/dev/null && fail "the second copy still runs 5 s after OK"
status=0
wait "$second" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"

kill -0 "$first" 2>/dev/null || fail "the first copy ended"
xdotool search --onlyvisible --name '^Zarnik v1\.5$' | grep -qx "$main" ||
    fail "the first copy's main window is gone"

# A copy that was killed leaves no stale claim behind.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
"$zarnik" &
third=$!
started_pids+=("$third")
wait_window '^Zarnik v1\.5$' >/dev/null || fail "no main window after the first copy was killed"
sleep 1
xdotool search --onlyvisible --name '^Zarnik$' >/dev/null 2>&1 &&
    fail "the copy started after the kill showed the message box"
kill -0 "$third" 2>/dev/null || fail "the copy started after the kill ended"

echo "PASS: one copy at a time, the second ends after its message"
