#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UBSan in build-asan and runs it with leak
# checking on. Exits non-zero on any failure; a sanitizer finding fails its test. Extra
# arguments go to ctest, as with ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVN_SANITIZE=ON >/dev/null
cmake --build build-asan
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
cd build-asan
ctest --output-on-failure -j2 --timeout 600 "$@"
