#!/usr/bin/env bash
# Installs every Debian package that building and running need; with the
# argument "test", also what the tests and benchmarks need (a PDF printer
# queue, PDF tools, the image library the sheet benchmark compares with, an
# X server without a screen for the start-up benchmark).
# Idempotent; uses sudo only when not already root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    qt6-l10n-tools                        # lrelease: the Romanian texts of Qt's own dialogs
    libqt6sql6-sqlite                     # the results archive's database driver
    qt6-charts-dev libqt6opengl6-dev      # the archive's chart (Charts needs OpenGL's CMake files)
    fp-utils            # chmcmd builds help.chm
    fonts-dejavu-core   # a font for offscreen rendering
)
if [ "${1:-}" = "test" ]; then
    packages+=(
        libbenchmark-dev
        libmagick++-dev                                 # the sheet benchmark's yardstick
        cups cups-client printer-driver-cups-pdf        # a real printer queue that writes PDF
        cups-ipp-utils                                  # ipptool: what CUPS recorded of a job
        poppler-utils                                   # pdfinfo, pdftoppm: reading what it wrote
        clang libclang-rt-14-dev                        # fuzzing and sanitizer builds
        strace                                          # kills a process at a chosen system call
        xvfb                                            # an X server for the start-up benchmark
    )
fi

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
