#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for the given number of seconds (default 60), starting from the committed seed corpus.
#   bash scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
# The largest answer a region call can give, 500 vertices zigzagging over all 65,535 rows, is 16
# million rectangles and takes about 7 s under the fuzzer's instrumentation (under 1 s in a normal
# build); anything slower than twice that is a finding.
CXX=clang++ cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
for target in fuzz_numeric fuzz_regions; do
    name="${target#fuzz_}"
    work="build-fuzz/corpus-$name"
    mkdir -p "$work"
    echo "== $target: ${seconds}s"
    status=0
    ./build-fuzz/"$target" "$work" "fuzz/corpus/$name" -max_total_time="$seconds" \
        -artifact_prefix=build-fuzz/ -timeout=15 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        >"build-fuzz/$target.log" 2>&1 || status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|SUMMARY)' "build-fuzz/$target.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "build-fuzz/$target.log"
        echo "$target found a fault (the input is in build-fuzz/ as crash-* or timeout-*)"
        exit 1
    fi
done
