#!/bin/sh
# Builds and runs the storage map's benchmark: layout/paint and drill times
# (offscreen), then resident memory under Xvfb with the software renderer,
# three runs each of a bare window and the app showing a 100,000-folder map.
set -eu
cd "$(dirname "$0")/../.."
BUILD_DIR="${BUILD_DIR:-build}"
ninja -C "$BUILD_DIR" -j 2 app_map_bench >/dev/null
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
echo "== map timing (offscreen, software)"
XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    "$BUILD_DIR/bench/app/app_map_bench" timing
echo "== resident memory under Xvfb (xcb, software renderer), KiB"
out=$(XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software \
    xvfb-run -a -s "-screen 0 1100x750x24 -nolisten tcp" sh -c "
        for run in 1 2 3; do
            for mode in bare map; do
                '$BUILD_DIR/bench/app/app_map_bench' \$mode 2>/dev/null
            done
        done")
rm -rf "$RUNTIME"
echo "$out"
echo "$out" | awk '
    { sum[$1] += $2; n[$1]++ }
    END {
        bare = sum["bare"] / n["bare"]; map = sum["map"] / n["map"]
        printf "mean MB: bare %.1f, map of 100,000 folders %.1f; map / bare = %.2f; map / 150 MB budget = %.2f\n",
            bare / 1024, map / 1024, map / bare, map / 1024 / 150
    }'
