#!/bin/sh
# tclean tree ROOT -d 8 against a bare du -k -d 8 ROOT over a generated tree of
# about 20,000 folders, run alternately in one session; the tree cache file is
# removed before every tclean run. Prints the median of each and their ratio.
# bench/measure.sh has the larger corpora, the cold runs and the memory.
#   bench/tree.sh [TCLEAN] [RUNS]     (default build/bin/tclean, 15 runs)
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
RUNS="${2:-15}"
WORK=$(mktemp -d /tmp/tidlo-bench-tree-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
ROOT="$WORK/root"
export HOME="$WORK/home" XDG_CACHE_HOME=""
mkdir -p "$ROOT" "$HOME"

# 20,000 folders: 20 top folders, each a few levels deep, a small file in some.
python3 - "$ROOT" <<'PY'
import os, sys, random
root = sys.argv[1]
rnd = random.Random(7)
folders = [root]
made = 0
while made < 20000:
    parent = rnd.choice(folders)
    if parent.count("/") - root.count("/") >= 9:
        continue
    path = os.path.join(parent, "d%d" % rnd.randrange(10**6))
    if os.path.exists(path):
        continue
    os.mkdir(path)
    folders.append(path)
    made += 1
    if made % 4 == 0:
        with open(os.path.join(path, "f"), "wb") as f:
            f.write(b"x" * rnd.randrange(1, 20000))
PY
echo "folders: $(find "$ROOT" -type d | wc -l)"

CACHE="$HOME/.cache/TidloCleaner"
now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

du -k -d 8 "$ROOT" >/dev/null # warm the file-system caches
"$TCLEAN" tree "$ROOT" -d 8 >/dev/null
: >"$WORK/du.times"
: >"$WORK/tclean.times"
: >"$WORK/pipe.times"
i=0
while [ "$i" -lt "$RUNS" ]; do
    t0=$(now); du -k -d 8 "$ROOT" >/dev/null; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/du.times"
    # The floor for any reader of du: the same run with its output in a pipe.
    t0=$(now); du -k -d 8 "$ROOT" | cat >/dev/null; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/pipe.times"
    rm -f "$CACHE"/tree_*.json
    t0=$(now); "$TCLEAN" tree "$ROOT" -d 8 >/dev/null; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/tclean.times"
    i=$((i + 1))
done
DU=$(median <"$WORK/du.times")
TC=$(median <"$WORK/tclean.times")
PI=$(median <"$WORK/pipe.times")
echo "du -k -d 8:         $((DU / 1000000)) ms (median of $RUNS)"
echo "du -k -d 8 | cat:   $((PI / 1000000)) ms (median of $RUNS)"
echo "tclean tree -d 8:   $((TC / 1000000)) ms (median of $RUNS)"
awk -v a="$TC" -v b="$DU" -v c="$PI" 'BEGIN {
    printf "ratio tclean/du:    %.3f\n", a / b
    printf "ratio du|cat/du:    %.3f\n", c / b
}'
echo "lines: du $(du -k -d 8 "$ROOT" | wc -l), tclean $("$TCLEAN" tree "$ROOT" -d 8 | wc -l)"
