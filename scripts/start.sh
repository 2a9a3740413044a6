#!/bin/sh
# Installs what Ormena needs, builds it, prepares its working folder and starts
# the program there. The folder is ORMENA_HOME, or ~/Ormena by default.
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build"

WORK="${ORMENA_HOME:-$HOME/Ormena}"
mkdir -p "$WORK/Shablon"
if [ -d "$ROOT/build/demo" ]; then
  cp -rn "$ROOT/build/demo/." "$WORK/"
fi
cd "$WORK"
exec "$ROOT/build/src/ormena" "$@"
