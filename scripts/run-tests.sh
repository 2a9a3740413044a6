#!/bin/sh
# Installs what Ormena needs, builds it and runs every test with ctest.
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build"
export QT_QPA_PLATFORM=offscreen
cd "$ROOT/build"
ctest --output-on-failure --timeout 900 "$@"
