#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# tclean tree beside du on a generated home of 10,000,000 files in 1,000,000
# folders (bench/make_home.cpp: within depth 8, mostly empty and small files,
# hard links, three folders of 100,000 entries), side by side in one run
# (turns alternated, medians), warm file-system caches:
#   1. tclean tree ROOT -d 8 (cache file removed before every run) against
#      du -k -d 8 ROOT: time and peak resident memory;
#   2. a cache hit: time and peak resident memory;
#   3. every folder's size in the cache file equals du's line for it;
#   with BASELINE=/path/to/another/tclean, 1 and 2 for it too, in the same turns.
# The home is built when ROOT does not exist (about 11 million inodes; it takes
# tens of minutes). Keep it outside any repository and remove it afterwards.
#   bench/home10m.sh [TCLEAN] [RUNS]   (default build/bin/tclean, 3 runs)
#   ROOT=/work/bench-home10m (default)
set -eu
cd "$(dirname "$0")/.."
TCLEAN=$(realpath "${1:-build/bin/tclean}")
RUNS="${2:-3}"
ROOT="${ROOT:-/work/bench-home10m}"
WORK=$(mktemp -d /tmp/tidlo-bench-home10m-XXXXXX)
trap 'rm -rf "$WORK"' EXIT INT TERM
export HOME="$WORK/home" XDG_CACHE_HOME="" XDG_CONFIG_HOME="" XDG_DATA_HOME=""
mkdir -p "$HOME"
CACHE="$HOME/.cache/TidloCleaner"

if [ ! -d "$ROOT" ]; then
    c++ -O2 -std=c++20 -pthread bench/make_home.cpp -o "$WORK/make_home"
    "$WORK/make_home" "$ROOT" 1000000 10000000 8 3 100000 4
fi

# run NAME COMMAND...: one run, its wall seconds and peak MB appended to NAME.t
run() {
    name=$1
    shift
    /usr/bin/time -f "%e %M" -o "$WORK/one" "$@" >/dev/null
    awk '{ printf "%s %.1f\n", $1, $2 / 1024 }' "$WORK/one" >>"$WORK/$name.t"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
col() { awk -v c="$2" '{print $c}' "$WORK/$1.t" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "tclean: $TCLEAN; $(nproc) cores; runs: $RUNS; home: $ROOT"
du -k -d 8 "$ROOT" >/dev/null # warm the caches
# measure NAME TCLEAN: one measuring run (no cache file) and one cache hit.
measure() {
    rm -f "$CACHE"/tree_*.json
    run "$1" "$2" tree "$ROOT" -d 8
    run "$1hit" "$2" tree "$ROOT" -d 8
}
# A home this large may not stay cached whole: a walk right after another
# full walk finds part of it evicted. The order turns every round, so each
# program follows each other one as often.
i=0
while [ "$i" -lt "$RUNS" ]; do
    if [ $((i % 2)) -eq 0 ]; then
        run du du -k -d 8 "$ROOT"
        measure tc "$TCLEAN"
        [ -n "${BASELINE:-}" ] && measure base "$BASELINE"
    else
        [ -n "${BASELINE:-}" ] && measure base "$BASELINE"
        measure tc "$TCLEAN"
        run du du -k -d 8 "$ROOT"
    fi
    i=$((i + 1))
done
echo "1. measuring: du -k -d 8 $(col du 1) s, $(col du 2) MB; tclean tree -d 8 $(col tc 1) s, $(col tc 2) MB; time ratio $(ratio "$(col tc 1)" "$(col du 1)") x"
echo "2. cache hit: $(col tchit 1) s, $(col tchit 2) MB"
if [ -n "${BASELINE:-}" ]; then
    echo "   baseline:  measuring $(col base 1) s, $(col base 2) MB (ratio to du $(ratio "$(col base 1)" "$(col du 1)") x); cache hit $(col basehit 1) s, $(col basehit 2) MB"
fi

rm -f "$CACHE"/tree_*.json
"$TCLEAN" tree "$ROOT" -d 8 >/dev/null
python3 - "$(ls "$CACHE"/tree_*_d8.json | head -1)" "$ROOT" <<'PY'
import json, subprocess, sys
tree = json.load(open(sys.argv[1]))
ours = {}
stack = [tree]
while stack:
    n = stack.pop()
    ours[n["path"]] = n["size"]
    stack.extend(n["children"])
del tree
out = subprocess.run(["du", "-k", "-0", "-d", "8", "--", sys.argv[2]], capture_output=True).stdout
bad = 0
count = 0
for line in out.split(b"\0"):
    if line:
        size, path = line.split(b"\t", 1)
        count += 1
        if ours.pop(path.decode(), None) != int(size) * 1024:
            bad += 1
bad += len(ours)
print("3. sizes: %d folders, %s" % (count, "all equal to du" if not bad else "%d DIFFER" % bad))
sys.exit(1 if bad else 0)
PY
