#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole suite. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
cd build
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j2 --timeout 300 "$@"
