#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it on the bundled
# sample collection (build/app). Any arguments are passed to the program,
# e.g. a folder of your own: scripts/run.sh ~/Culegere
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCULEGERE_BUILD_TESTS=OFF \
    -DCULEGERE_BUILD_BENCH=OFF
cmake --build build --parallel

if [ "$#" -eq 0 ]; then
    exec build/app/culegere build/app
fi
exec build/app/culegere "$@"
