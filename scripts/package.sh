#!/usr/bin/env bash
# Builds the Debian package build/korvane_<version>_<arch>.deb: installs what is missing,
# configures, builds and runs CPack (which finds the runtime dependencies with
# dpkg-shlibdeps). Install it with: sudo apt install ./build/korvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target package
ls -l build/korvane_*.deb
