#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Benchmark of the large-file search: builds a throw-away home whose files
# lie mostly in node_modules trees, the Trash and Library/Caches, then times
# find with the three trees filtered out (walked) against the pruned
# expression tclean uses, checks that both list exactly the same lines, and
# times `tclean big` itself. Not part of the test suite.
#   bench/large_files.sh [TCLEAN]      PACKAGES=3000 FILES=40 ROUNDS=3
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
PACKAGES="${PACKAGES:-3000}"
FILES="${FILES:-40}"
ROUNDS="${ROUNDS:-3}"

H=$(mktemp -d /tmp/tidlo-bench-big-XXXXXX)
trap 'rm -rf "$H" "$H.a" "$H.b"' EXIT INT TERM

# Empty files everywhere (find skips them on size), a few large sparse files
# in ordinary and excluded places, and a regular file named node_modules.
seq 1 "$PACKAGES" | sed "s|^|$H/proj/node_modules/pkg|" | xargs mkdir -p
seq 1 "$PACKAGES" | while read -r p; do
    seq 1 "$FILES" | sed "s|^|$H/proj/node_modules/pkg$p/f|"
done | xargs touch
seq 1 200 | sed "s|^|$H/Library/Caches/app|" | xargs mkdir -p
seq 1 200 | while read -r p; do seq 1 50 | sed "s|^|$H/Library/Caches/app$p/c|"; done | xargs touch
seq 1 100 | sed "s|^|$H/.Trash/old|" | xargs mkdir -p
seq 1 100 | while read -r p; do seq 1 50 | sed "s|^|$H/.Trash/old$p/t|"; done | xargs touch
seq 1 100 | sed "s|^|$H/Documents/d|" | xargs mkdir -p
seq 1 100 | while read -r p; do seq 1 50 | sed "s|^|$H/Documents/d$p/doc|"; done | xargs touch
for f in Downloads/big.iso "Movies/a movie.mov" proj/node_modules/pkg1/huge.bin \
    .Trash/old1/huge.bin Library/Caches/app1/huge.bin other/node_modules; do
    mkdir -p "$H/$(dirname "$f")"
    truncate -s 80M "$H/$f"
done
COUNT=$(find "$H" -type f | wc -l)

walked() {
    /usr/bin/find "$H" -type f -size +50M -not -path "*/.Trash/*" -not -path "*/node_modules/*" \
        -not -path "*/Library/Caches/*"
}
pruned() {
    /usr/bin/find "$H" "(" -type d "(" -name .Trash -o -name node_modules -o \
        -path "*/Library/Caches" ")" -prune ")" -o "(" -type f -size +50M \
        -not -path "*/.Trash/*" -not -path "*/node_modules/*" -not -path "*/Library/Caches/*" \
        -print ")"
}
big() { HOME="$H" "$TCLEAN" big; }

timed() {
    s=$(date +%s.%N)
    "$@" > /dev/null
    e=$(date +%s.%N)
    echo "$e - $s" | bc
}
min() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" -eq 1 ]; then echo "$2"; else echo "$1"; fi; }

walked > "$H.a"
pruned > "$H.b"
if cmp -s "$H.a" "$H.b"; then SAME="identical ($(wc -l < "$H.a") lines)"; else SAME="DIFFERENT"; fi

T_W="" T_P="" T_B=""
r=0
while [ "$r" -lt "$ROUNDS" ]; do
    T_W=$(min "$T_W" "$(timed walked)")
    T_P=$(min "$T_P" "$(timed pruned)")
    T_B=$(min "$T_B" "$(timed big)")
    r=$((r + 1))
done
echo "corpus: $COUNT files, best of $ROUNDS"
printf 'find, excluded trees walked: %6.3f s\n' "$T_W"
printf 'find, excluded trees pruned: %6.3f s   (%.2f x walked)\n' "$T_P" "$(echo "$T_P / $T_W" | bc -l)"
printf 'tclean big:                  %6.3f s   (%.2f x walked)\n' "$T_B" "$(echo "$T_B / $T_W" | bc -l)"
echo "outputs of the two find runs: $SAME"
[ "$SAME" != "DIFFERENT" ]
