#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the storage map's benchmark: layout/paint and drill times
# (offscreen), then resident memory under Xvfb with the software renderer,
# three runs each of a bare window and the app showing a 100,000-folder map.
#   BASELINE=/path/to/app_map_bench bench/app/map.sh
# also times another build of the benchmark (one that has the paint mode, for
# example built from an earlier commit) against this one: ROUNDS (default 7)
# runs of each, alternating, and their medians side by side; and its memory
# with the 100,000-folder map beside this build's.
#   bench/app/map.sh home ROOT
# the application on its Storage Map over the real folder ROOT at depth 8,
# under Xvfb with the software renderer: `tclean tree ROOT -d 8` first fills a
# tree cache, copied into a fresh temporary home for each run, so the map is
# read from it; prints the time to show the map, the drill and up medians, and
# the memory beside a bare window's in the same Xvfb session. With BASELINE
# (a build of the benchmark that has the home mode) the same from it, after.
set -eu
cd "$(dirname "$0")/../.."
BUILD_DIR="${BUILD_DIR:-build}"
ninja -C "$BUILD_DIR" -j 2 app_map_bench >/dev/null
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
BENCH="$BUILD_DIR/bench/app/app_map_bench"
offscreen() {
    XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software "$@"
}
if [ "${1:-}" = home ]; then
    [ -d "${2:-}" ] || { echo "usage: bench/app/map.sh home ROOT" >&2; exit 2; }
    ROOT=$(cd "$2" && pwd)
    ninja -C "$BUILD_DIR" -j 2 tclean >/dev/null
    WORK=$(mktemp -d)
    mkdir -p "$WORK/seed"
    HOME="$WORK/seed" XDG_CACHE_HOME="$WORK/seed/.cache" \
        "$BUILD_DIR/bin/tclean" tree "$ROOT" -d 8 >/dev/null
    # One run: a fresh home holding the seeded cache, the bench in it.
    cat >"$WORK/run.sh" <<'EOF'
#!/bin/sh
set -eu
home=$(mktemp -d "$WORK/home.XXXXXX")
cp -r "$WORK/seed/.cache" "$home/.cache"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    XDG_DATA_HOME="$home/.local/share" "$1" home "$ROOT" 2>/dev/null
EOF
    chmod +x "$WORK/run.sh"
    export WORK ROOT BENCH="$(pwd)/$BENCH" BASELINE="${BASELINE:-}"
    XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software \
        xvfb-run -a -s "-screen 0 1100x750x24 -nolisten tcp" sh -c '
            "$BENCH" bare 2>/dev/null
            echo "== this build"
            "$WORK/run.sh" "$BENCH"
            if [ -n "$BASELINE" ]; then
                echo "== baseline ($BASELINE)"
                "$WORK/run.sh" "$BASELINE"
            fi' | awk '
        $1 == "bare" { bare = $2; next }
        / once shown, .* after the drills$/ { next }
        $1 == "home-rss" {
            printf "app with the map: %.1f MB (bare window %.1f MB); after the drills %.1f MB\n",
                $2 / 1024, bare / 1024, $3 / 1024
            next
        }
        { print }'
    rm -rf "$WORK" "$RUNTIME"
    exit 0
fi
if [ -n "${BASELINE:-}" ]; then
    echo "== layout + paint, baseline ($BASELINE) and this build, alternating"
    round=0
    while [ "$round" -lt "${ROUNDS:-7}" ]; do
        for which in baseline this; do
            bin="$BENCH"
            [ "$which" = baseline ] && bin="$BASELINE"
            offscreen "$bin" paint | awk -v w="$which" '
                /^  layout .* paint / { print w, "wall", $2, $6, $9 }
                /^  CPU time: layout / { print w, "cpu", $4, $8, $11 }'
        done
        round=$((round + 1))
    done | awk '
        { k = $1 " " $2; layout[k] = layout[k] " " $3; paint[k] = paint[k] " " $4; total[k] = total[k] " " $5 }
        function med(list,   v, n, i, j, t) {
            n = split(list, v, " ")
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
                if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
            return v[int(n / 2) + 1]
        }
        function row(k) {
            printf "%-13s layout %6.2f ms + paint %6.2f ms = %6.2f ms; / 16 ms budget = %.2f\n",
                k, med(layout[k]), med(paint[k]), med(total[k]), med(total[k]) / 16
        }
        function ratio(c) {
            printf "this / baseline (%s): layout %.2f, paint %.2f, total %.2f\n", c,
                med(layout["this " c]) / med(layout["baseline " c]),
                med(paint["this " c]) / med(paint["baseline " c]),
                med(total["this " c]) / med(total["baseline " c])
        }
        END {
            print "wall clock (medians over the runs of each run'"'"'s median of 15):"
            row("baseline wall"); row("this wall"); ratio("wall")
            print "CPU time of all threads:"
            row("baseline cpu"); row("this cpu"); ratio("cpu")
        }'
fi
echo "== map timing (offscreen, software)"
offscreen "$BENCH" timing
echo "== resident memory under Xvfb (xcb, software renderer), KiB"
out=$(XDG_RUNTIME_DIR="$RUNTIME" QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software \
    BASELINE="${BASELINE:-}" xvfb-run -a -s "-screen 0 1100x750x24 -nolisten tcp" sh -c "
        for run in 1 2 3; do
            for mode in bare map; do
                '$BENCH' \$mode 2>/dev/null
            done
            if [ -n \"\$BASELINE\" ]; then
                \"\$BASELINE\" map 2>/dev/null | sed 's/^map/baseline-map/'
            fi
        done")
rm -rf "$RUNTIME"
echo "$out"
echo "$out" | awk '
    { sum[$1] += $2; n[$1]++ }
    END {
        bare = sum["bare"] / n["bare"]; map = sum["map"] / n["map"]
        printf "mean MB: bare %.1f, map of 100,000 folders %.1f; map / bare = %.2f; map / 150 MB budget = %.2f\n",
            bare / 1024, map / 1024, map / bare, map / 1024 / 150
        if (n["baseline-map"]) {
            base = sum["baseline-map"] / n["baseline-map"]
            printf "baseline map %.1f MB; this / baseline = %.2f\n", base / 1024, map / base
        }
    }'
