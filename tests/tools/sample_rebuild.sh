#!/usr/bin/env bash
# sample_rebuild.sh <source folder> <scratch folder>
#
# Rebuilds the application folder of a scratch build tree of this source
# after changes of the sample's text: while the collection there is the one
# the build wrote, it gets the new sample; once the program has changed it,
# a rebuild keeps it, and the pictures a teacher put under probleme, and the
# results. The scratch tree is kept between runs (only its application folder
# starts afresh), so only the first run compiles the sample's builder.
set -euo pipefail
source_dir=$1
scratch=$2
build=$scratch/build
text=$scratch/probleme.txt
log=$scratch/build.log
app=$build/app
built=$build/sample-collection
fail() { echo "FAIL: $*" >&2; exit 1; }

# A sample of two chapters; $1 and $2 vary its chapter name and a statement.
write_text() {
    cat >"$text" <<EOF
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
EOF
}
build_app() {
    cmake --build "$build" --target culegere_appdir --parallel 2 >"$log" 2>&1 ||
        { cat "$log" >&2; fail "the build failed"; }
}
same() { cmp -s "$1" "$2"; }

mkdir -p "$build"
rm -rf "$app" "$built" "$build/sample-written"
write_text "Numere" "(intai)"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$source_dir" -B "$build" -G Ninja -DCULEGERE_BUILD_TESTS=OFF \
    -DCULEGERE_BUILD_BENCH=OFF -DCULEGERE_SAMPLE_TEXT="$text" "${launcher[@]}" >/dev/null
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
echo "the rebuilds kept the teacher's collection"
