#!/usr/bin/env bash
# Fresh Debian 12 machine -> missing packages installed -> built -> Quarnel started.
#   ./scripts/run.sh           start Quarnel with your own remembered settings
#   ./scripts/run.sh --demo    start it on a throw-away store whose remembered game folder
#                              is a throw-away copy of the demo installation
#                              (examples/demo-install) with the settings of examples/demo.cfg
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARNEL_BUILD_TESTS=OFF
cmake --build build/release -j "$(nproc)"

if [[ "${1:-}" == "--demo" ]]; then
    shift
    # Launch Server and Make .BAT/.INI write into the game folder: give them a copy.
    demo=$(mktemp -d -t quarnel-demo.XXXXXX)
    cp -r examples/demo-install "$demo/UT2003"
    export QUARNEL_REGISTRY="$demo/registry.db"
    ./build/release/src/cli/quarnel-cli import-config examples/demo.cfg --game-dir "$demo/UT2003"
    echo "Demo game folder and store: $demo"
fi
exec ./build/release/src/ui/quarnel "$@"
