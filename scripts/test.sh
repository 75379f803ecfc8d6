#!/usr/bin/env bash
# Installs what is missing, builds Zarnik twice (warnings as errors; then with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds, then runs each fuzzer briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/zarnik-runtime.XXXXXX)}"
chmod 700 "$XDG_RUNTIME_DIR"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNIK_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
# The end-to-end scenarios drive a real X server and window manager, one at a time.
run_tests() {
    ctest --output-on-failure -j"$jobs" -LE e2e &&
        ctest --output-on-failure -L e2e
}
(cd build && run_tests)

# The Debian package, once: built in build-package/, checked, installed, started and removed.
bash tests/e2e/package_check.sh build-package

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZARNIK_WERROR=ON -DZARNIK_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 run_tests)

# A short run of each fuzzer from the committed seeds; longer runs: bash scripts/fuzz.sh 600
bash scripts/fuzz.sh "${ZARNIK_FUZZ_SECONDS:-30}"
