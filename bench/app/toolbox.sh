#!/bin/sh
# Builds and runs the Toolbox benchmarks from the build folder (default build/):
# the duplicate search's Cancel latency on a generated corpus, then the
# main-thread stalls of the process pane's refresh and of scrolling 1,500
# duplicate groups (offscreen).
set -eu
cd "$(dirname "$0")/../.."
BUILD_DIR="${BUILD_DIR:-build}"
ninja -C "$BUILD_DIR" -j 2 app_dupes_cancel_bench app_toolbox_bench >/dev/null
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
trap 'rm -rf "$RUNTIME"' EXIT
echo "== duplicate search: Cancel to the end of the search"
"$BUILD_DIR/bench/app/app_dupes_cancel_bench"
echo "== Toolbox main-thread stalls (offscreen, software)"
XDG_RUNTIME_DIR="$RUNTIME" "$BUILD_DIR/bench/app/app_toolbox_bench"
