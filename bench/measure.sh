#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The in-process measurement beside du, side by side in one run (turns
# alternated, medians), on two generated corpora:
#   small: about 20,000 folders and 150,000 files
#   large: about 100,000 folders and 1,000,000 files, all within depth 8
# Figures:
#   1. tclean tree ROOT -d 8 (cache file removed before every run) against
#      du -k -d 8 ROOT, warm file-system caches, small corpus;
#   2. the same with the caches dropped before every run (needs root; skipped
#      with a note when /proc/sys/vm/drop_caches cannot be written);
#   3. the same on the large corpus, warm, with the peak resident memory of
#      each (/usr/bin/time -v);
#   4. a cache hit on the large corpus (its cache file holds every folder):
#      time and peak resident memory;
#   5. every folder's size from the cache file equals du's line for it.
# Only du is compared: no other disk-usage program is run.
#   bench/measure.sh [TCLEAN] [RUNS]     (default build/bin/tclean, 9 runs)
#   SMALL_ONLY=1 skips the large corpus.
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
TCLEAN=$(realpath "$TCLEAN")
RUNS="${2:-9}"
WORK=$(mktemp -d /tmp/tidlo-bench-measure-XXXXXX)
trap 'rm -rf "$WORK"' EXIT INT TERM
export HOME="$WORK/home" XDG_CACHE_HOME="" XDG_CONFIG_HOME="" XDG_DATA_HOME=""
mkdir -p "$HOME"
CACHE="$HOME/.cache/TidloCleaner"

# corpus ROOT FOLDERS FILES MAXDEPTH: a random tree, every fourth file with
# up to 16 KiB of data, the rest empty; a few hard links between folders.
corpus() {
    python3 - "$@" <<'PY'
import os, sys, random
root, nfolders, nfiles, maxdepth = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rnd = random.Random(7)
os.makedirs(root)
folders = [(root, 0)]
while len(folders) < nfolders:
    parent, depth = folders[rnd.randrange(len(folders))]
    if depth >= maxdepth:
        continue
    path = os.path.join(parent, "d%d" % rnd.randrange(10**6))
    try:
        os.mkdir(path)
    except FileExistsError:
        continue
    folders.append((path, depth + 1))
data = b"x" * 16384
made = []
for i in range(nfiles):
    folder = folders[rnd.randrange(len(folders))][0]
    path = os.path.join(folder, "f%d" % i)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT, 0o644)
    if i % 4 == 0:
        os.write(fd, data[: rnd.randrange(1, 16384)])
    os.close(fd)
    if i % 500 == 0:
        made.append(path)
for i, path in enumerate(made):
    os.link(path, os.path.join(folders[rnd.randrange(len(folders))][0], "l%d" % i))
PY
}

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ms() { echo $(($1 / 1000000)); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Peak resident memory of one run, in MB.
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident/ { printf "%.1f", $6 / 1024 }'; }
can_drop() { sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; }

# side ROOT RUNS COLD: alternate du and tclean (no cache file) RUNS times;
# sets DU and TC to the medians in nanoseconds.
side() {
    : >"$WORK/du.t"
    : >"$WORK/tc.t"
    i=0
    while [ "$i" -lt "$2" ]; do
        [ "$3" = cold ] && can_drop
        t0=$(now); du -k -d 8 "$1" >/dev/null; t1=$(now)
        echo $((t1 - t0)) >>"$WORK/du.t"
        rm -f "$CACHE"/tree_*.json
        [ "$3" = cold ] && can_drop
        t0=$(now); "$TCLEAN" tree "$1" -d 8 >/dev/null; t1=$(now)
        echo $((t1 - t0)) >>"$WORK/tc.t"
        i=$((i + 1))
    done
    DU=$(median <"$WORK/du.t")
    TC=$(median <"$WORK/tc.t")
}

# Compares the sizes in the cache file of ROOT (depth 8) with du's lines.
check_sizes() {
    file=$(ls "$CACHE"/tree_*_d8.json | head -1)
    python3 - "$file" "$1" <<'PY'
import json, subprocess, sys
tree = json.load(open(sys.argv[1]))
ours = {}
def walk(n):
    ours[n["path"]] = n["size"]
    for c in n["children"]:
        walk(c)
walk(tree)
out = subprocess.run(["du", "-k", "-0", "-d", "8", "--", sys.argv[2]], capture_output=True).stdout
du = {}
for line in out.split(b"\0"):
    if line:
        size, path = line.split(b"\t", 1)
        du[path.decode()] = int(size) * 1024
bad = [p for p in set(ours) | set(du) if ours.get(p) != du.get(p)]
print("sizes: %d folders, %s" % (len(du), "all equal to du" if not bad else "%d DIFFER, e.g. %s" % (len(bad), bad[:3])))
sys.exit(1 if bad else 0)
PY
}

echo "tclean: $TCLEAN; $(nproc) cores; runs: $RUNS"
SMALL="$WORK/small"
corpus "$SMALL" 20000 150000 9
echo "small corpus: $(find "$SMALL" -type d | wc -l) folders, $(find "$SMALL" -type f | wc -l) files"
du -k -d 8 "$SMALL" >/dev/null
"$TCLEAN" tree "$SMALL" -d 8 >/dev/null

side "$SMALL" "$RUNS" warm
echo "1. warm, small:  du -k -d 8 $(ms "$DU") ms, tclean tree -d 8 $(ms "$TC") ms, ratio $(ratio "$TC" "$DU") x"
if can_drop; then
    side "$SMALL" 5 cold
    echo "2. cold, small:  du -k -d 8 $(ms "$DU") ms, tclean tree -d 8 $(ms "$TC") ms, ratio $(ratio "$TC" "$DU") x (median of 5)"
else
    echo "2. cold, small:  skipped (the page cache cannot be dropped here)"
fi
rm -f "$CACHE"/tree_*.json
"$TCLEAN" tree "$SMALL" -d 8 >/dev/null
check_sizes "$SMALL"
rm -rf "$SMALL" "$CACHE"

[ "${SMALL_ONLY:-}" = 1 ] && exit 0
LARGE="$WORK/large"
corpus "$LARGE" 100000 1000000 8
echo "large corpus: $(find "$LARGE" -type d | wc -l) folders, $(find "$LARGE" -type f | wc -l) files"
du -k -d 8 "$LARGE" >/dev/null
side "$LARGE" 5 warm
echo "3. warm, large:  du -k -d 8 $(ms "$DU") ms, tclean tree -d 8 $(ms "$TC") ms, ratio $(ratio "$TC" "$DU") x (median of 5)"
rm -f "$CACHE"/tree_*.json
echo "   peak memory:  du $(peak du -k -d 8 "$LARGE") MB, tclean tree (measuring) $(peak "$TCLEAN" tree "$LARGE" -d 8) MB"
check_sizes "$LARGE"
echo "   cache file:   $(grep -o '"id"' "$CACHE"/tree_*_d8.json | wc -l) folders, $(($(stat -c %s "$CACHE"/tree_*_d8.json) / 1024 / 1024)) MB"
: >"$WORK/hit.t"
i=0
while [ "$i" -lt "$RUNS" ]; do
    t0=$(now); "$TCLEAN" tree "$LARGE" -d 8 >/dev/null; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/hit.t"
    i=$((i + 1))
done
echo "4. cache hit:    $(ms "$(median <"$WORK/hit.t")") ms (median of $RUNS), peak memory $(peak "$TCLEAN" tree "$LARGE" -d 8) MB"
