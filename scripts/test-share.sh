#!/usr/bin/env bash
# Prints the tests' share of the C++ code: the physical lines of the *.cpp and
# *.h files git tracks under tests/ and fuzz/, against all of those and the
# ones under src/, tools/ and bench/; once counting every line, once without
# blank lines and lines holding only a comment. The tests stay at most 35 %.
set -euo pipefail
cd "$(dirname "$0")/.."

files() {
    git ls-files -- "${@/%//*.cpp}" "${@/%//*.h}"
}
# Every line, then the lines that are neither blank nor only a comment (text
# in quotes is no comment).
count() {
    files "$@" | xargs -r awk '
        FNR == 1 { inBlock = 0 }
        { all++; line = $0 }
        inBlock && !index(line, "*/") { next }
        inBlock { inBlock = 0; line = substr(line, index(line, "*/") + 2) }
        {
            gsub(/\\./, "", line)
            gsub(/"[^"]*"|\047[^\047]*\047/, "s", line)
            while (1) {
                c = index(line, "//"); b = index(line, "/*")
                if (c && (!b || c < b)) { line = substr(line, 1, c - 1); break }
                if (!b) break
                rest = substr(line, b + 2); e = index(rest, "*/")
                if (!e) { line = substr(line, 1, b - 1); inBlock = 1; break }
                line = substr(line, 1, b - 1) " " substr(rest, e + 2)
            }
            if (line ~ /[^ \t\r]/) code++
        }
        END { print all + 0, code + 0 }'
}

read -r tests_all tests_code < <(count tests fuzz)
read -r program_all program_code < <(count src tools bench)
share() { awk -v t="$1" -v p="$2" 'BEGIN { printf "%.1f", 100 * t / (t + p) }'; }
printf 'tests (tests/, fuzz/):          %6d lines, %6d without blanks and comments\n' \
    "$tests_all" "$tests_code"
printf 'program (src/, tools/, bench/): %6d lines, %6d without blanks and comments\n' \
    "$program_all" "$program_code"
printf 'share of the tests:             %5s %%,       %5s %% without blanks and comments\n' \
    "$(share "$tests_all" "$program_all")" "$(share "$tests_code" "$program_code")"
