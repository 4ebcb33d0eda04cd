#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the Toolbox benchmarks from the build folder (default build/):
# the duplicate search's Cancel latency on a generated corpus, then the main
# thread's cost of a process refresh and the stalls while scrolling 1,500
# duplicate groups (offscreen).
#   bench/app/toolbox.sh
#   BASELINE=<git revision> bench/app/toolbox.sh
#       also builds that revision's app with this tree's benchmark (in
#       $BUILD_DIR/baseline) and measures the process refresh of both side by
#       side, alternating, three rounds each.
set -eu
cd "$(dirname "$0")/../.."
BUILD_DIR="${BUILD_DIR:-build}"
ninja -C "$BUILD_DIR" -j 2 app_dupes_cancel_bench app_toolbox_bench >/dev/null
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
trap 'rm -rf "$RUNTIME"' EXIT
export XDG_RUNTIME_DIR="$RUNTIME"
echo "== duplicate search: Cancel to the end of the search"
"$BUILD_DIR/bench/app/app_dupes_cancel_bench"
echo "== Toolbox main thread (offscreen, software)"
"$BUILD_DIR/bench/app/app_toolbox_bench"

[ -n "${BASELINE:-}" ] || exit 0
BASE="$BUILD_DIR/baseline"
rm -rf "$BASE/src"
mkdir -p "$BASE/src"
git archive "$BASELINE" | tar -x -C "$BASE/src"
cp bench/app/ToolboxBench.cpp bench/app/Lateness.h bench/app/GeneratedHome.h "$BASE/src/bench/app/"
TYPE=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
cmake -S "$BASE/src" -B "$BASE/build" -G Ninja -DCMAKE_BUILD_TYPE="${TYPE:-RelWithDebInfo}" \
    -DTIDLO_BUILD_APP=ON >/dev/null
ninja -C "$BASE/build" -j 2 app_toolbox_bench >/dev/null
echo "== process refresh side by side: $BASELINE and this tree, alternating"
for round in 1 2 3; do
    "$BASE/build/bench/app/app_toolbox_bench" --refresh-only | sed -n 's/^process refresh, /baseline:  /p'
    "$BUILD_DIR/bench/app/app_toolbox_bench" --refresh-only | sed -n 's/^process refresh, /this tree: /p'
done
