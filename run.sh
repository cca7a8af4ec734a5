#!/usr/bin/env bash
# Installs what is missing, builds, starts the device simulator on a pseudo-terminal and
# the application talking to it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec scripts/demo.sh "$@"
