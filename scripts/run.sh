#!/usr/bin/env bash
# Installs what is needed, builds the program and the interface simulator and starts the
# program; arguments go to the program. JOBS=n builds with n jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
# The interface simulator too, so that the README's simulator example runs after this.
cmake --build build -j"${JOBS:-$(nproc)}" --target brantoval lptsim
exec build/bin/brantoval "$@"
