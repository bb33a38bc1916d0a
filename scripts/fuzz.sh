#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer, every source instrumented for coverage), writes their seeds
# with the program's own writers and runs every target for the given time (default 60 s
# each, all targets side by side): bash scripts/fuzz.sh [seconds]
# Findings go to build-fuzz/artifacts/<target>-*; the grown corpora stay in
# build-fuzz/corpus/<target>. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
# clang and its fuzzer/sanitizer runtime come on top of the normal packages.
bash scripts/deps.sh clang libclang-rt-14-dev
seconds="${1:-60}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBRTV_FUZZ=ON -DBRTV_SANITIZE=ON
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets
mkdir -p build-fuzz/seeds build-fuzz/artifacts build-fuzz/logs
export QT_QPA_PLATFORM=offscreen
# Leak reports only for the program's own code (see the suppression file).
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
build-fuzz/bin/fuzz_seeds build-fuzz/seeds

pids=()
names=()
while read -r target seeds; do
  [ -n "$target" ] || continue
  mkdir -p "build-fuzz/corpus/$target"
  build-fuzz/bin/"$target" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/artifacts/$target-" "build-fuzz/corpus/$target" "build-fuzz/seeds/$seeds" \
    </dev/null >"build-fuzz/logs/$target.log" 2>&1 &
  pids+=($!)
  names+=("$target")
done <build-fuzz/fuzz_targets.txt

status=0
for i in "${!pids[@]}"; do
  target="${names[$i]}"
  log="build-fuzz/logs/$target.log"
  if wait "${pids[$i]}"; then result="no finding"; else result="FINDING (see $log)"; status=1; fi
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
  echo "$target: ${execs:-?} executions, ${cov:-no coverage line}, $result"
done
exit $status
