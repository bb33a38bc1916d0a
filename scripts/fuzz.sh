#!/usr/bin/env bash
# Builds the show reader fuzz target with clang and runs it on the seeds for a while
# (default 60 s): bash scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBRTV_FUZZ=ON -DBRTV_SANITIZE=ON
cmake --build build-fuzz -j"$(nproc)" --target show_reader_fuzz fuzz_seeds
seeds=build-fuzz/seeds
mkdir -p "$seeds" build-fuzz/corpus
build-fuzz/bin/fuzz_seeds "$seeds"
build-fuzz/bin/show_reader_fuzz -max_total_time="${1:-60}" -rss_limit_mb=4096 build-fuzz/corpus "$seeds"
