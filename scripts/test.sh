#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
# A second, sanitized build (AddressSanitizer with leak detection +
# UndefinedBehaviorSanitizer) runs the tests labelled "sanitize": the show core, the
# engine and the interface library.
# JOBS=n builds with n jobs (default: every core) and runs n tests at a time (default 8).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=${JOBS:-$(nproc)}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir build --output-on-failure -j"${JOBS:-8}" || status=$?
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRTV_SANITIZE=ON
cmake --build build-asan -j"$jobs" --target sanitize_tests
# Leak detection is on; the suppression file names the few leaks inside system libraries.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"${JOBS:-8}" -L sanitize || status=$?
exit $status
