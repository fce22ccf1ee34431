#!/usr/bin/env bash
# install_and_first_start.sh <build folder> with-chm|without-chm
#
# Installs the build into a temporary prefix, starts the installed program on
# a fresh home (offscreen) and checks that it made the folder ~/Culegere with
# the cues, the help (help.chm where the build compiled it, the pages in
# every case) and the sample collection; that a folder given on the command
# line wins; and that the Debian package holds the same files and depends on
# Debian's Qt 6 runtime. Ends with 77 (skipped) without dpkg-deb, which reads
# the package.
set -euo pipefail
build=$1
help_kind=${2:-with-chm}
if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb is not installed, so the Debian package cannot be read"
    exit 77
fi
help_files=(help/index.html)
if [ "$help_kind" = with-chm ]; then help_files+=(help.chm); fi
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
shared="$work/prefix/share/culegere"
[ -x "$work/prefix/bin/culegere" ] || fail "no installed program"
[ -f "$work/prefix/bin/libculegere_cue_sound.so" ] || fail "no sound module beside the program"
[ -f "$work/prefix/share/applications/culegere.desktop" ] || fail "no desktop entry"
[ -f "$work/prefix/share/icons/hicolor/scalable/apps/culegere.svg" ] || fail "no icon"

# Starts the installed program (with arguments $@) until its start-up made
# the file $1, then ends it.
start_until() {
    local made=$1; shift
    HOME="$work/home" QT_QPA_PLATFORM=offscreen "$work/prefix/bin/culegere" "$@" &
    pid=$!
    for _ in $(seq 1 100); do
        [ -e "$made" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended at start-up"
        sleep 0.2
    done
    [ -e "$made" ] || fail "start-up never made $made"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    pid=
}

mkdir -p "$work/home"
home="$work/home/Culegere"
start_until "$home/Users.stn"
for f in Caps.stn Problems.stn "${help_files[@]}" next.wav exit.wav incarca.wav \
         setareok.wav exitform.wav birds_22khz_lp-1.wav; do
    cmp -s "$shared/$f" "$home/$f" || fail "$f was not copied into ~/Culegere"
done
[ "$(ls "$home/probleme" | wc -l)" -eq "$(ls "$shared/probleme" | wc -l)" ] || fail "pictures missing"
[ -d "$home/teste" ] && [ -d "$home/backup" ] || fail "no teste or backup folder"

# The collection in use stays as it is at the next start.
printf 'x' >> "$home/Problems.stn"
cp "$home/Problems.stn" "$work/problems.before"
start_until "$home/.culegere.lock"
cmp -s "$work/problems.before" "$home/Problems.stn" || fail "the next start touched the collection"

# A folder given on the command line wins, and starts empty.
start_until "$work/other/Users.stn" "$work/other"
[ ! -s "$work/other/Caps.stn" ] || fail "a folder given got the sample collection"
[ -f "$work/other/${help_files[-1]}" ] || fail "a folder given got no help"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6multimedia6; do
    [[ "$depends" == *"$p"* ]] || fail "the package does not depend on $p"
done
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/culegere ./usr/bin/libculegere_cue_sound.so ./usr/share/applications/culegere.desktop \
         "${help_files[@]/#/./usr/share/culegere/}" ./usr/share/culegere/Problems.stn; do
    grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done
echo "installed, started, packaged: all right"
