#!/usr/bin/env bash
# Fresh Debian 12 machine -> missing packages installed -> built -> Quarnel started.
#   ./scripts/run.sh           start Quarnel with your own remembered settings
#   ./scripts/run.sh --demo    start it on a throw-away store whose remembered game folder
#                              is the demo installation in examples/demo-install
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARNEL_BUILD_TESTS=OFF
cmake --build build/release -j "$(nproc)"

if [[ "${1:-}" == "--demo" ]]; then
    shift
    demo_store=$(mktemp -d)/registry.db
    export QUARNEL_REGISTRY="$demo_store"
    ./build/release/src/quarnel-cli import-config examples/demo.cfg \
        --game-dir "$PWD/examples/demo-install"
    echo "Demo store: $demo_store"
fi
exec ./build/release/src/quarnel "$@"
