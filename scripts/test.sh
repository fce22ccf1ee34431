#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs
# every test headless, the real printer's among them, but the scratch build
# tree (CULEGERE_SCRATCH_TREE=1 ctest -L build, see the README).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
scripts/setup-test-printer.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCULEGERE_WERROR=ON \
    -DCULEGERE_BUILD_TESTS=ON -DCULEGERE_BUILD_BENCH=ON
cmake --build build-test --parallel
ctest --test-dir build-test --output-on-failure --parallel 2
scripts/test-sanitizers.sh
scripts/fuzz.sh
