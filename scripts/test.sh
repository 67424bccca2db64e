#!/usr/bin/env bash
# Fresh Debian 12 machine -> missing packages installed -> built with AddressSanitizer and
# UndefinedBehaviorSanitizer -> every test run; then the fuzz targets for a short while;
# then the Windows build, its tests run under Wine (scripts/build-windows.sh).
# QUARNEL_FUZZ_SECONDS sets how long each fuzz target runs (0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev libgmock-dev libbenchmark-dev libx11-dev \
    clang clang-tidy libclang-rt-14-dev systemd

jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUARNEL_SANITIZE=ON -DQUARNEL_BUILD_TESTS=ON -DQUARNEL_BUILD_BENCH=ON -DQUARNEL_WERROR=ON
cmake --build build/test -j "$jobs"

# The checks chosen in .clang-tidy, over every source file of src/; a finding fails the run.
tidy_start=$SECONDS
if ! run-clang-tidy -quiet -p build/test -j "$jobs" "$PWD/src/" >build/test/clang-tidy.log 2>&1; then
    grep -E '(warning|error): ' build/test/clang-tidy.log || tail -n 40 build/test/clang-tidy.log
    echo "clang-tidy found problems; the whole log is build/test/clang-tidy.log"
    exit 1
fi
echo "clang-tidy: no findings in src/ ($((SECONDS - tidy_start)) s)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

# The fuzz targets run first, so that the test summary is what the run ends with.
fuzz_seconds=${QUARNEL_FUZZ_SECONDS:-30}
if ((fuzz_seconds > 0)) && command -v clang++ >/dev/null; then
    CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUARNEL_BUILD_GUI=OFF -DQUARNEL_BUILD_TESTS=OFF -DQUARNEL_BUILD_FUZZ=ON -DQUARNEL_WERROR=ON
    cmake --build build/fuzz -j "$jobs"
    for fuzzer in build/fuzz/fuzz/fuzz_*; do
        [[ -x "$fuzzer" ]] || continue
        echo "Fuzzing $(basename "$fuzzer") for ${fuzz_seconds}s"
        corpus=$(mktemp -d)
        "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 3
        rm -rf "$corpus"
    done
fi

linux_status=0
ctest --test-dir build/test --output-on-failure -j "$jobs" | tee build/test/test-log.txt ||
    linux_status=$?

# The Windows build of the core and quarnel-cli, its tests under Wine.
windows_status=0
./scripts/build-windows.sh || windows_status=$?

# The closing lines: each build's ctest summary, then the counts of both together.
summary() { grep -h "tests passed, .* tests failed out of" "$1" 2>/dev/null | tail -n 1; }
linux=$(summary build/test/test-log.txt)
windows=$(summary build/windows/test-log.txt)
echo
echo "Windows (Wine): ${windows:-no test summary}"
echo "Linux: ${linux:-no test summary}"
total=0
failed=0
for line in "$linux" "$windows"; do
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        total=$((total + BASH_REMATCH[2]))
    fi
done
echo "$((total - failed)) passed, $failed failed"
if ((linux_status != 0 || windows_status != 0)); then
    exit 1
fi
