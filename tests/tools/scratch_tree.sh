#!/usr/bin/env bash
# scratch_tree.sh <source folder> <scratch folder> [<CMake generator>]
#
# A scratch build tree of this source, as a newcomer makes it: configured
# with only the default options and without the benchmark library, then
# built whole. Then its application folder is rebuilt after changes of the
# sample's text: while the collection there is the one the build wrote, it
# gets the new sample; once the program has changed it, a rebuild keeps it,
# and the pictures a teacher put under probleme, and the results. The tree is
# kept between runs (its configuration and its application folder start
# afresh), so only the first run compiles everything. It runs only with
# CULEGERE_SCRATCH_TREE=1 in the environment, and else exits 77 (skipped).
set -euo pipefail
if [ "${CULEGERE_SCRATCH_TREE:-}" != 1 ]; then
    echo "SKIP: the scratch build tree runs only with CULEGERE_SCRATCH_TREE=1"
    exit 77
fi
source_dir=$1
scratch=$2
generator=${3:-}
build=$scratch/build
text=$scratch/probleme.txt
log=$scratch/build.log
app=$build/app
built=$build/sample-collection
jobs=$(nproc 2>/dev/null || echo 2)
fail() { echo "FAIL: $*" >&2; exit 1; }

configure() {
    local options=(-S "$source_dir" -B "$build" "$@")
    if [ -n "$generator" ]; then options+=(-G "$generator"); fi
    # Compiled through ccache where there is one; that is no option of the project.
    if command -v ccache >/dev/null; then options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    rm -f "$build/CMakeCache.txt"
    cmake "${options[@]}" >"$log" 2>&1 || { cat "$log" >&2; fail "the configuration failed"; }
}
build_target() {
    cmake --build "$build" --parallel "$jobs" "$@" >"$log" 2>&1 ||
        { tail -n 80 "$log" >&2; fail "the build failed"; }
}
same() { cmp -s "$1" "$2"; }

mkdir -p "$build"
rm -rf "$app" "$built" "$build/sample-written"

# The defaults, with Google Benchmark out of reach: the build must not need it.
configure -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
grep -q "CULEGERE_BUILD_BENCH:BOOL=OFF" "$build/CMakeCache.txt" ||
    fail "the benchmarks are built by default"
build_target
[ -x "$app/culegere" ] || fail "the default build made no program"
[ -f "$app/help/index.html" ] || fail "the default build made no help pages"

# A sample of two chapters; $1 and $2 vary its chapter name and a statement.
write_text() {
    cat >"$text" <<TEXT
capitol: $1
Cat face 2 + 3? $2
a) 4
b) 5
c) 6
d) 7
e) 8
raspuns: b
capitol: Fractii
Cat face 1/2 + 1/2?
a) 1
b) 2
c) 1/4
d) 0
e) 3
raspuns: a
TEXT
}
build_app() { build_target --target culegere_appdir; }

rm -rf "$app" "$built" "$build/sample-written"
write_text "Numere" "(intai)"
configure -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCULEGERE_SAMPLE_TEXT="$text"
build_app
for f in Caps.stn Problems.stn probleme/probl00001.jpg probleme/probl00002.jpg; do
    same "$built/$f" "$app/$f" || fail "the first build did not place $f"
done

# A collection the build wrote follows the sample's text.
write_text "Numere naturale" "(a doua oara)"
build_app
for f in Caps.stn Problems.stn probleme/probl00001.jpg; do
    same "$built/$f" "$app/$f" || fail "an untouched $f did not follow the sample"
done

# The program changes the collection (a chapter renamed); a teacher adds a
# picture and draws another over a sample's; results are stored.
printf 'Algebra' | dd of="$app/Caps.stn" bs=1 seek=204 conv=notrunc status=none
cp "$app/Caps.stn" "$scratch/caps.teacher"
cp "$app/Problems.stn" "$scratch/problems.before"
cp "$app/probleme/probl00001.jpg" "$scratch/picture1.before"
printf 'the teacher picture' >"$app/probleme/probl00099.jpg"
printf 'the teacher drawing' >"$app/probleme/probl00002.jpg"
printf 'results' >"$app/Users.stn"

write_text "Numere intregi" "(a treia oara)"
build_app
same "$built/Caps.stn" "$scratch/caps.teacher" && fail "the sample's text did not change the sample"
same "$app/Caps.stn" "$scratch/caps.teacher" || fail "a rebuild overwrote the changed Caps.stn"
same "$app/Problems.stn" "$scratch/problems.before" || fail "a rebuild overwrote Problems.stn"
same "$app/probleme/probl00001.jpg" "$scratch/picture1.before" || fail "a rebuild changed a picture"
[ "$(cat "$app/probleme/probl00099.jpg")" = "the teacher picture" ] || fail "a picture was lost"
[ "$(cat "$app/probleme/probl00002.jpg")" = "the teacher drawing" ] || fail "a drawing was lost"
[ "$(cat "$app/Users.stn")" = "results" ] || fail "a rebuild touched Users.stn"

# Without a collection there, the sample comes back (the teacher's pictures stay).
rm "$app/Caps.stn" "$app/Problems.stn"
build_app
same "$built/Caps.stn" "$app/Caps.stn" || fail "a missing Caps.stn was not placed"
same "$built/probleme/probl00001.jpg" "$app/probleme/probl00001.jpg" ||
    fail "a picture the build wrote did not follow the sample"
[ "$(cat "$app/probleme/probl00002.jpg")" = "the teacher drawing" ] || fail "a drawing was lost"
echo "the defaults built, and the rebuilds kept the teacher's collection"
