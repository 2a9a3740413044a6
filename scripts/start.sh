#!/bin/sh
# Installs what Ormena needs, builds it (with the demonstration database, its
# sample templates and the user guide), prepares its working folder and starts
# the program there. The folder is ORMENA_HOME, or ~/Ormena by default.
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build"

# The launcher the package installs as ormena-start: it creates the working
# folder with "Shablon", copies OrmenaDemo.mdb and the sample templates that
# are not there yet from build/demo, and starts the program in that folder.
ORMENA_DEMO_DIR="$ROOT/build/demo" ORMENA_PROGRAM="$ROOT/build/src/ormena" \
  exec "$ROOT/packaging/ormena-start" "$@"
