#!/bin/sh
# Benchmark of `tclean scan`: builds a throw-away home with hundreds of
# Application Support entries (each a cache candidate and a leftover
# candidate) and compares the scan with the du runs it needs, run one after
# another. Not part of the test suite.
#   bench/cache_scan.sh [TCLEAN [OTHER_TCLEAN]]
# With OTHER_TCLEAN (another build, say one measuring one path at a time) its
# time is shown too and both outputs are checked to be identical.
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
OTHER="${2:-}"
ENTRIES="${ENTRIES:-320}"
ROUNDS="${ROUNDS:-3}"

HOME_DIR=$(mktemp -d /tmp/tidlo-bench-home-XXXXXX)
trap 'rm -rf "$HOME_DIR"' EXIT INT TERM

# Application Support entries with a Cache folder (and every fourth with a
# GPUCache too); a few large enough to be listed. ~/Library/Caches entries.
i=0
while [ "$i" -lt "$ENTRIES" ]; do
    d="$HOME_DIR/Library/Application Support/App $i"
    mkdir -p "$d/Cache" "$d/Other"
    head -c $(( (i % 7) * 4096 + 4096 )) /dev/zero > "$d/Cache/data"
    head -c 8192 /dev/zero > "$d/Other/data"
    if [ $((i % 4)) -eq 0 ]; then mkdir -p "$d/GPUCache"; head -c 4096 /dev/zero > "$d/GPUCache/g"; fi
    if [ $((i % 40)) -eq 0 ]; then head -c 3000000 /dev/zero > "$d/Cache/big"; fi
    i=$((i + 1))
done
i=0
while [ "$i" -lt 40 ]; do
    mkdir -p "$HOME_DIR/Library/Caches/org.example.app$i"
    head -c $(( i * 100000 )) /dev/zero > "$HOME_DIR/Library/Caches/org.example.app$i/c"
    i=$((i + 1))
done
mkdir -p "$HOME_DIR/.npm/_cacache" && head -c 5000000 /dev/zero > "$HOME_DIR/.npm/_cacache/i"

# The du runs the scan needs: every existing cache candidate folder, then
# every leftover candidate (each entry of the eight ~/Library folders).
LIST="$HOME_DIR.list"
trap 'rm -rf "$HOME_DIR" "$LIST"' EXIT INT TERM
{
    [ -d "$HOME_DIR/.npm/_cacache" ] && echo "$HOME_DIR/.npm/_cacache"
    for d in "$HOME_DIR/Library/Caches"/*/; do echo "${d%/}"; done
    for d in "$HOME_DIR/Library/Application Support"/*/; do
        for s in Cache CachedData GPUCache "Code Cache"; do
            [ -d "$d$s" ] && echo "$d$s"
        done
    done
    for f in "Application Support" Caches; do
        for d in "$HOME_DIR/Library/$f"/*/; do echo "${d%/}"; done
    done
} > "$LIST"
RUNS=$(wc -l < "$LIST")

# Wall-clock seconds of one run of a command.
timed() {
    s=$(date +%s.%N)
    "$@" > /dev/null
    e=$(date +%s.%N)
    echo "$e - $s" | bc
}
min() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" -eq 1 ]; then echo "$2"; else echo "$1"; fi; }

du_one_by_one() { tr '\n' '\0' < "$LIST" | xargs -0 -n 1 /usr/bin/du -sk; }
scan() { HOME="$HOME_DIR" "$1" scan --json; }

# The machine is shared: the contenders take turns in every round and the
# best round of each counts.
T_DU="" T_SCAN="" T_OTHER=""
r=0
while [ "$r" -lt "$ROUNDS" ]; do
    T_DU=$(min "$T_DU" "$(timed du_one_by_one)")
    T_SCAN=$(min "$T_SCAN" "$(timed scan "$TCLEAN")")
    [ -n "$OTHER" ] && T_OTHER=$(min "$T_OTHER" "$(timed scan "$OTHER")")
    r=$((r + 1))
done

echo "candidates measured: $RUNS du runs ($ENTRIES Application Support entries), best of $ROUNDS"
printf 'du runs one after another: %6.3f s\n' "$T_DU"
printf 'tclean scan:               %6.3f s   (%.2f x the du runs)\n' "$T_SCAN" \
    "$(echo "$T_SCAN / $T_DU" | bc -l)"
if [ -n "$OTHER" ]; then
    printf 'other tclean scan:         %6.3f s   (%.2f x the du runs)\n' "$T_OTHER" \
        "$(echo "$T_OTHER / $T_DU" | bc -l)"
    printf 'speed-up over the other:   %.2f x\n' "$(echo "$T_OTHER / $T_SCAN" | bc -l)"
    if [ "$(scan "$TCLEAN" | md5sum)" = "$(scan "$OTHER" | md5sum)" ] &&
        [ "$(HOME="$HOME_DIR" "$TCLEAN" scan | md5sum)" = "$(HOME="$HOME_DIR" "$OTHER" scan | md5sum)" ]; then
        echo "outputs: identical (scan --json and scan)"
    else
        echo "outputs: DIFFERENT"
        exit 1
    fi
fi
