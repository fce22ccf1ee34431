#!/usr/bin/env bash
# Fuzzes the data files and the start-up with libFuzzer (see fuzz/README.md):
# builds build-fuzz/ with clang and CULEGERE_FUZZ=ON, runs each fuzz target
# for FUZZ_SECONDS seconds (45 by default) from its seed corpus
# (fuzz/corpus/<target>), its saved findings (fuzz/regressions/<target>) and a
# fresh work corpus, and fails on any finding (a crash, a sanitizer report, a
# failed check, a hang, running out of memory), naming the input that found it.
# Expects what scripts/install-deps.sh test installs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds=${FUZZ_SECONDS:-45}
targets=(users chapters problems startup)
# Room for every record a file can hold in use, and some past it.
declare -A max_len=([users]=4800 [chapters]=12000 [problems]=24000 [startup]=40000)

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCULEGERE_FUZZ=ON \
    -DCULEGERE_BUILD_TESTS=OFF -DCULEGERE_BUILD_BENCH=OFF
cmake --build "$build" --parallel 2 --target "${targets[@]/#/fuzz_}"

work="$build/fuzz/work"
rm -rf "$work"
mkdir -p "$work"
# Leaks are findings too, except memory fontconfig keeps for the whole process.
printf 'leak:libfontconfig.so\n' > "$work/lsan.supp"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/$work/lsan.supp:print_suppressions=0"

failed=()
for t in "${targets[@]}"; do
    mkdir -p "$work/$t/corpus" "$work/$t/findings"
    log="$work/$t/fuzz.log"
    echo "== fuzz_$t: ${seconds} s"
    status=0
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -max_len="${max_len[$t]}" -print_final_stats=1 \
        -artifact_prefix="$PWD/$work/$t/findings/" \
        "$work/$t/corpus" "fuzz/corpus/$t" "fuzz/regressions/$t" > "$log" 2>&1 || status=$?
    found=$(find "$work/$t/findings" -type f)
    if [ "$status" -ne 0 ] || [ -n "$found" ]; then
        failed+=("$t")
        tail -n 60 "$log"
        echo "fuzz_$t FOUND A FAULT (exit $status); full log: $log"
        for f in $found; do
            echo "  input: $f"
            echo "  keep it as a regression: cp $f fuzz/regressions/$t/<what-it-is>"
        done
    else
        grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" |
            tr '\n' ' '
        echo
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing: no findings"
