#!/usr/bin/env bash
# Builds the fuzz targets (clang, sanitizers on) in build-fuzz and runs each for a bounded time.
#   fuzz/run.sh [seconds per target] [target...]     targets: tga archive timeline options
# Inputs found along the way are kept in build-fuzz/corpus/<target>; the seeds in fuzz/corpus are
# only read. A crash leaves its input in build-fuzz/artifacts and makes the script fail; replay it
# with: build-fuzz/fuzz/fuzz_<target> build-fuzz/artifacts/<target>/crash-...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tga archive timeline options)
build=${TARNELVOIS_FUZZ_BUILD_DIR:-$root/build-fuzz}

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DTARNELVOIS_FUZZ=ON -DTARNELVOIS_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    log=$build/fuzz-$target.log
    if "$build/fuzz/fuzz_$target" "$corpus" "$root/fuzz/corpus/$target" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $target: ${runs:-?} runs in ${seconds}s, no fault"
    else
        echo "fuzz $target: FAULT (see $log)"
        grep -m3 -E 'ERROR|SUMMARY|runtime error|deadly signal' "$log" || true
        status=1
    fi
done
exit $status
