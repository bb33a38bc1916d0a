#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test, twice: in the Release
# build, then in a second build of the whole program and every test binary, windows
# included (build-asan/), with AddressSanitizer (leak detection on) and
# UndefinedBehaviorSanitizer, whose every report fails the test that caused it.
# Both builds go through ccache, so a second run compiles only what changed.
# JOBS=n builds with n jobs (default: every core) and runs n tests at a time (default 8).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh ccache
jobs=${JOBS:-$(nproc)}
tests=${JOBS:-8}
ccache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths inside the checkout are hashed relative to the build folder, so a clone in
# another folder reuses what an earlier build of the same sources compiled (the debug
# build too: its objects do not record the folder they were compiled in).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${ccache[@]}"
cmake --build build -j"$jobs"
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir build --output-on-failure -j"$tests" || status=$?

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRTV_SANITIZE=ON "${ccache[@]}"
cmake --build build-asan -j"$jobs"
# Errors stop the program (UndefinedBehaviorSanitizer's too: the build makes them
# unrecoverable); the suppression file names the few leaks inside system libraries.
# The programs the tests start (the program itself, the interface simulator) inherit this.
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j"$tests" || status=$?
exit $status
