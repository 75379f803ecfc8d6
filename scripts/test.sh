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
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZARNIK_WERROR=ON -DZARNIK_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs")

# A short run of each fuzzer from the committed seeds; longer runs: bash scripts/fuzz.sh 600
bash scripts/fuzz.sh "${ZARNIK_FUZZ_SECONDS:-30}"
