#!/usr/bin/env bash
# Builds the program and its tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/, gcc, Debug, warnings as errors) and
# runs every test there, the real printer's among them (scripts/test.sh sets
# its queue up first). Any sanitizer report (a memory error, undefined
# behaviour, a leak) fails its test. The one leak let through is the
# printing library's own: libcups keeps the strings of a printer's options in
# its PPD cache and never frees them (a printer with a duplex unit shows it).
# Expects what scripts/install-deps.sh test installs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-asan
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$build"
printf 'leak:_ppdCacheCreateWithPPD\n' > "$build/lsan.supp"
export LSAN_OPTIONS="suppressions=$PWD/$build/lsan.supp:print_suppressions=0"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCULEGERE_SANITIZE=ON \
    -DCULEGERE_WERROR=ON -DCULEGERE_BUILD_TESTS=ON -DCULEGERE_BUILD_BENCH=OFF
cmake --build "$build" --parallel 2
ctest --test-dir "$build" --output-on-failure --parallel 2
