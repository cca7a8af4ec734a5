#!/usr/bin/env bash
# Coverage-guided fuzzing: builds every target under tests/fuzz/targets with clang, libFuzzer,
# AddressSanitizer and UBSan in build-fuzz, then runs each for SECONDS, one after the other.
#   scripts/fuzz.sh SECONDS [TARGET...]
# New inputs go to build-fuzz/corpus/<target>; the committed seeds in tests/fuzz/corpus/<target>
# are read only. A crash or a failed property is kept in build-fuzz/crashes/<target>/: copy it
# into tests/fuzz/corpus/<target>/ once fixed, and ctest replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
scripts/install-deps.sh --fuzz
cmake -S . -B build-fuzz -G Ninja -DKVN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for folder in tests/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=()
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/crashes/$target"
  echo "== $target: ${seconds} s"
  if ! "build-fuzz/tests/fuzz/targets/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/crashes/$target/" "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target" \
      2> "build-fuzz/$target.log"; then
    failed+=("$target")
  fi
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE)" "build-fuzz/$target.log" || true
  grep -E "(ERROR|property failed|SUMMARY)" "build-fuzz/$target.log" | head -5 || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]} (see build-fuzz/<target>.log and build-fuzz/crashes/)"
  exit 1
fi
