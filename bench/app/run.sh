#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the app benchmarks from the build folder (default build/):
# the main-thread stall during a full scan (offscreen), then resident memory
# under Xvfb with the software renderer, three runs of each mode side by side:
# a bare Qt Quick window, the idle application and the application after a
# full scan. Every run scans its own generated home in a temporary folder.
set -eu
cd "$(dirname "$0")/../.."
BUILD_DIR="${BUILD_DIR:-build}"
ninja -C "$BUILD_DIR" -j 2 app_stall_bench app_clean_bench app_memory_probe >/dev/null

RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
echo "== main-thread stall during full scans (offscreen, software)"
XDG_RUNTIME_DIR="$RUNTIME" "$BUILD_DIR/bench/app/app_stall_bench"

echo "== main-thread stall on the Clean page with 2,000 findings (offscreen, software)"
XDG_RUNTIME_DIR="$RUNTIME" "$BUILD_DIR/bench/app/app_clean_bench"

echo "== resident memory under Xvfb (xcb, software renderer), KiB"
out=$(XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software \
    xvfb-run -a -s "-screen 0 1100x750x24 -nolisten tcp" sh -c "
        for run in 1 2 3; do
            for mode in bare idle scan findings; do
                '$BUILD_DIR/bench/app/app_memory_probe' \$mode 2>/dev/null
            done
        done")
rm -rf "$RUNTIME"
echo "$out"
echo "$out" | awk '
    { sum[$1] += $2; n[$1]++ }
    END {
        bare = sum["bare"] / n["bare"]; idle = sum["idle"] / n["idle"]; scan = sum["scan"] / n["scan"]
        found = sum["findings"] / n["findings"]
        printf "mean MB: bare %.1f, idle %.1f, after scan %.1f, 2,000 findings %.1f\n", bare / 1024, idle / 1024, scan / 1024, found / 1024
        printf "idle / bare = %.2f, after scan / bare = %.2f, 2,000 findings / bare = %.2f\n", idle / bare, scan / bare, found / bare
        printf "idle / 70 MB budget = %.2f, after scan / 100 MB budget = %.2f, 2,000 findings / 100 MB budget = %.2f\n", idle / 1024 / 70, scan / 1024 / 100, found / 1024 / 100
    }'
