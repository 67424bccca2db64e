#!/usr/bin/env bash
# Fresh Debian 12 machine -> missing packages installed -> built with AddressSanitizer and
# UndefinedBehaviorSanitizer -> every test run; then the fuzz targets for a short while.
# QUARNEL_FUZZ_SECONDS sets how long each fuzz target runs (0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev libgmock-dev libbenchmark-dev libx11-dev \
    clang libclang-rt-14-dev

jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUARNEL_SANITIZE=ON -DQUARNEL_BUILD_TESTS=ON -DQUARNEL_BUILD_BENCH=ON
cmake --build build/test -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

# The fuzz targets run first, so that the test summary is what the run ends with.
fuzz_seconds=${QUARNEL_FUZZ_SECONDS:-30}
if ((fuzz_seconds > 0)) && command -v clang++ >/dev/null; then
    CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUARNEL_BUILD_GUI=OFF -DQUARNEL_BUILD_TESTS=OFF -DQUARNEL_BUILD_FUZZ=ON
    cmake --build build/fuzz -j "$jobs"
    for fuzzer in build/fuzz/fuzz/fuzz_*; do
        [[ -x "$fuzzer" ]] || continue
        echo "Fuzzing $(basename "$fuzzer") for ${fuzz_seconds}s"
        corpus=$(mktemp -d)
        "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 3
        rm -rf "$corpus"
    done
fi

ctest --test-dir build/test --output-on-failure -j "$jobs"
