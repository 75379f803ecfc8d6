#!/usr/bin/env bash
# Zarnik against bare Qt programs, side by side in one run: start-up to the first map of the main
# window as the X server reports it, and peak memory; the cost of a right-button drag move at 10
# and at 500 vertices; then our regions against Qt's.
# Usage: bash bench/run.sh [start-up runs per program, default 40]
# Builds what it needs in build-bench/ (Release) and runs on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-40}"

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNIK_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target zarnik bare_window first_map bench_drag bench_regions >/dev/null

work="$(mktemp -d /tmp/zarnik-bench.XXXXXX)"
chmod 700 "$work"
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# Xvfb picks a free display itself; when two servers start at once the one that lost exits, so
# make sure the server is this run's own.
for _ in 1 2 3 4 5; do
    : >"$work/display"
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset >"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    sleep 0.5
    [ -s "$work/display" ] && kill -0 "$xvfb_pid" 2>/dev/null && break
done
kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }

echo "== start-up to the first map of the main window, processor time and peak memory ($runs runs each, alternating)"
# On a session bus, as on any desktop: without one Qt tries to start one at every start.
DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work" \
    dbus-run-session -- /usr/bin/python3 - "$runs" build-bench/bench/first_map build-bench/zarnik \
    build-bench/bench/bare_window 2> >(grep -v 'Failed to set fd limit' >&2) <<'PY'
import os, statistics, subprocess, sys

runs, first_map, zarnik, bare = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
env = dict(os.environ)
env.pop("QT_QPA_PLATFORM", None)
kinds = {"Zarnik": [zarnik], "menu bar window": [bare, "menu"], "empty window": [bare]}
measures = [("start-up", "ms"), ("processor time", "ms"), ("peak memory", "MiB")]

def run(command):
    """Milliseconds to the first map, processor milliseconds and the peak resident set in MiB."""
    out = subprocess.run([first_map, *command], env=env, check=True, capture_output=True,
                         text=True).stdout.split()
    return float(out[0]), float(out[2]), int(out[1]) / 1024

def load():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]

names = list(kinds)
for _ in range(3):  # warm the caches for all
    for name in names:
        run(kinds[name])
loads = [load()]
figures = {name: [[] for _ in measures] for name in names}
for i in range(runs):
    for name in names[i % 3:] + names[:i % 3]:
        for values, value in zip(figures[name], run(kinds[name])):
            values.append(value)
loads.append(load())

print(f"load average (1 min) at the start and the end: {loads[0]}, {loads[1]}")
print("medians (lowest to highest):")
for name in names:
    print(f"{name:>16}: " + ", ".join(
        f"{what} {statistics.median(v):.1f} {unit} ({min(v):.1f} to {max(v):.1f})"
        for (what, unit), v in zip(measures, figures[name])))
for against in names[1:]:
    print(f"Zarnik against the {against}: " + ", ".join(
        f"{what} {statistics.median(z) / statistics.median(a):.2f}x"
        for (what, _), z, a in zip(measures, figures["Zarnik"], figures[against])))
print("(goal against the menu bar window: at most 1.05x in start-up and peak memory)")
PY

echo "== one right-button drag move with the code window shown (offscreen, medians)"
XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen build-bench/bench/bench_drag 2>&1 |
    grep -v -e 'does not support' -e '^DRAG_RATIO'
echo "(goal: the cost at 500 at most 1.5x the cost at 10)"

echo "== regions: ours against Qt's, microseconds per call"
build-bench/bench/bench_regions
