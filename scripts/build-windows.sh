#!/usr/bin/env bash
# The Windows build, made on Debian: quarnel_core, quarnel-cli.exe and the core and CLI tests
# cross-built with MinGW-w64 into build/windows/, then the tests run under Wine in a
# throw-away Wine prefix. Installs what is missing first.
#   --package   also write dist/quarnel-cli-windows-x86_64.zip (the program, the README and
#               the example configuration)
# QUARNEL_WINDOWS_JOBS sets the parallel build jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

package=0
for arg in "$@"; do
    case "$arg" in
    --package) package=1 ;;
    *)
        echo "usage: $0 [--package]" >&2
        exit 2
        ;;
    esac
done

packages=(cmake ninja-build g++-mingw-w64-x86-64 googletest wine)
# Debian names the 64-bit Wine loader wine64; the plain "wine" package brings the launcher.
packages+=(wine64)
((package)) && packages+=(zip)
ensure_packages "${packages[@]}"

jobs=${QUARNEL_WINDOWS_JOBS:-$(nproc)}
build=build/windows
gtest_build=$build/googletest-build
gtest_prefix=$PWD/$build/googletest
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# GoogleTest from Debian's source package, with the same compiler as the program.
if [[ ! -f $gtest_prefix/lib/cmake/GTest/GTestConfig.cmake ]]; then
    cmake -S /usr/src/googletest -B "$gtest_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest_prefix" \
        -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF "${launcher[@]}" >/dev/null
    cmake --build "$gtest_build" -j "$jobs"
    cmake --install "$gtest_build" >/dev/null
fi

# -O2: GCC 12 at -O3 warns falsely (-Wrestrict) on joined strings.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQUARNEL_BUILD_GUI=OFF -DQUARNEL_BUILD_TESTS=ON \
    -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

# A Wine prefix of its own, removed at the end: the tests write to its registry and C: drive.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quarnel-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# One server for the whole run, and Wine's background services started once, here, with
# their streams on /dev/null. Otherwise every test program starts them anew, and they hold
# the test's output pipe open until the server times out.
wineserver -p
wineboot --init </dev/null >/dev/null 2>&1

# Every test under Wine, one process per test. The CLI tests share drive C: and the
# registry's program keys, so the tests run one at a time.
status=0
ctest --test-dir "$build" --output-on-failure -j 1 | tee "$build/test-log.txt" | tail -n 4 ||
    status=$?
if ((status != 0)); then
    cat "$build/test-log.txt"
fi

if ((package && status == 0)); then
    stage=$(mktemp -d)
    mkdir -p dist "$stage/quarnel-cli"
    cp "$build/src/cli/quarnel-cli.exe" README.md examples/demo.cfg "$stage/quarnel-cli/"
    rm -f dist/quarnel-cli-windows-x86_64.zip
    (cd "$stage" && zip -qr - quarnel-cli) >dist/quarnel-cli-windows-x86_64.zip
    rm -rf "$stage"
    echo "Wrote dist/quarnel-cli-windows-x86_64.zip"
fi

# The closing line: what the Windows tests gave.
passed=$(grep -c ' Passed ' "$build/test-log.txt" || true)
failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(\*\*\*|Not Run)' "$build/test-log.txt" || true)
echo "Windows tests under Wine: $passed passed, $failed failed"
exit "$status"
