#!/usr/bin/env bash
# Zarnik against a bare Qt program, side by side in one run: start-up until the main window is
# shown, peak memory, and the cost of a right-button drag move at 10 and at 500 vertices; then our
# regions against Qt's.
# Usage: bash bench/run.sh [start-up runs per program, default 40]
# Builds what it needs in build-bench/ (Release) and runs on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-40}"

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNIK_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target zarnik bare_window bench_drag bench_regions >/dev/null

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

echo "== start-up to the main window shown, and peak memory ($runs runs each, alternating)"
DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work" ZARNIK_BENCH_EXIT_ON_SHOW=1 \
    /usr/bin/python3 - "$runs" build-bench/zarnik build-bench/bench/bare_window <<'PY'
import os, statistics, subprocess, sys, time

runs, zarnik, bare = int(sys.argv[1]), sys.argv[2], sys.argv[3]
env = dict(os.environ)
env.pop("QT_QPA_PLATFORM", None)

text_env = dict(env, BARE_WINDOW_TEXT="1")

def run(program, with_text=False):
    """Seconds from exec to the end after the first expose, and the peak resident set in KiB."""
    start = time.perf_counter()
    child = subprocess.Popen([program], env=text_env if with_text else env,
                             stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - start
    child.returncode = 0
    if status != 0:
        sys.exit(f"{program} ended with status {status}")
    return elapsed, usage.ru_maxrss

# The bare window with one line of text is a second yardstick, to tell the fonts' share.
kinds = [(zarnik, False), (bare, False), (bare, True)]
for _ in range(3):  # warm the caches for all
    for kind in kinds:
        run(*kind)
times = {kind: [] for kind in kinds}
memory = {kind: [] for kind in kinds}
for i in range(runs):
    for kind in kinds[i % 3:] + kinds[:i % 3]:
        t, m = run(*kind)
        times[kind].append(t)
        memory[kind].append(m)

zt, bt, tt = (statistics.median(times[kind]) for kind in kinds)
zm, bm, tm = (statistics.median(memory[kind]) for kind in kinds)
print(f"start-up: zarnik {zt * 1000:.1f} ms, bare Qt window {bt * 1000:.1f} ms (medians): "
      f"{zt / bt:.2f}x (goal at most 1.3x)")
print(f"peak memory: zarnik {zm / 1024:.1f} MiB, bare Qt window {bm / 1024:.1f} MiB (medians): "
      f"{zm / bm:.2f}x (goal at most 1.2x)")
print(f"against the bare window with one line of text ({tt * 1000:.1f} ms, {tm / 1024:.1f} MiB): "
      f"start-up {zt / tt:.2f}x, memory {zm / tm:.2f}x")
PY

echo "== one right-button drag move with the code window shown (offscreen, medians)"
XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen build-bench/bench/bench_drag 2>&1 |
    grep -v -e 'does not support' -e '^DRAG_RATIO'
echo "(goal: the cost at 500 at most 1.5x the cost at 10)"

echo "== regions: ours against Qt's, microseconds per call"
build-bench/bench/bench_regions
