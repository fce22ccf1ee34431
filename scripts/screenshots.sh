#!/usr/bin/env bash
# Renders every screen of the program into docs/screenshots (the pictures the
# README shows), from the build in build-test (made by scripts/test.sh) or the
# folder given.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cmake --build "$build" --target culegere_screenshots culegere_appdir
"$build/tools/culegere_screenshots" "$build/sample-collection" docs/screenshots
echo "docs/screenshots rendered"
