#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Benchmark of `tclean scan` on two throw-away homes, side by side in one run:
# a Mac-shaped one (hundreds of Application Support entries, each a cache
# candidate and a leftover candidate) and a Linux-shaped one (the same number
# of application folders under ~/.config with Electron caches, entries of
# ~/.cache, Flatpak applications under ~/.var/app). Each scan is compared with
# the tool runs it needs, run one after another: du -sk per measured
# candidate and, on the Linux home, the one flatpak run of the leftover scan.
# Not part of the test suite.
#   bench/cache_scan.sh [TCLEAN [OTHER_TCLEAN]]
# ENTRIES=1150 gives a Linux home of about 1,500 measured candidates.
# With OTHER_TCLEAN (another build, say one measuring one path at a time) its
# time is shown too and both outputs are checked to be identical.
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
OTHER="${2:-}"
ENTRIES="${ENTRIES:-320}"
ROUNDS="${ROUNDS:-3}"

MAC_HOME=$(mktemp -d /tmp/tidlo-bench-home-XXXXXX)
LINUX_HOME=$(mktemp -d /tmp/tidlo-bench-linux-XXXXXX)
MAC_LIST="$MAC_HOME.list"
LINUX_LIST="$LINUX_HOME.list"
trap 'rm -rf "$MAC_HOME" "$LINUX_HOME" "$MAC_LIST" "$LINUX_LIST"' EXIT INT TERM

# Mac: Application Support entries with a Cache folder (and every fourth with
# a GPUCache too); a few large enough to be listed. ~/Library/Caches entries.
i=0
while [ "$i" -lt "$ENTRIES" ]; do
    d="$MAC_HOME/Library/Application Support/App $i"
    mkdir -p "$d/Cache" "$d/Other"
    head -c $(( (i % 7) * 4096 + 4096 )) /dev/zero > "$d/Cache/data"
    head -c 8192 /dev/zero > "$d/Other/data"
    if [ $((i % 4)) -eq 0 ]; then mkdir -p "$d/GPUCache"; head -c 4096 /dev/zero > "$d/GPUCache/g"; fi
    if [ $((i % 40)) -eq 0 ]; then head -c 3000000 /dev/zero > "$d/Cache/big"; fi
    i=$((i + 1))
done
i=0
while [ "$i" -lt 40 ]; do
    mkdir -p "$MAC_HOME/Library/Caches/org.example.app$i"
    head -c $(( i * 100000 )) /dev/zero > "$MAC_HOME/Library/Caches/org.example.app$i/c"
    i=$((i + 1))
done
mkdir -p "$MAC_HOME/.npm/_cacache" && head -c 5000000 /dev/zero > "$MAC_HOME/.npm/_cacache/i"

# Linux: the same application folders under ~/.config, ~/.cache entries and
# twenty Flatpak applications with a cache, an Electron cache and data.
i=0
while [ "$i" -lt "$ENTRIES" ]; do
    d="$LINUX_HOME/.config/App $i"
    mkdir -p "$d/Cache" "$d/Other"
    head -c $(( (i % 7) * 4096 + 4096 )) /dev/zero > "$d/Cache/data"
    head -c 8192 /dev/zero > "$d/Other/data"
    if [ $((i % 4)) -eq 0 ]; then mkdir -p "$d/GPUCache"; head -c 4096 /dev/zero > "$d/GPUCache/g"; fi
    if [ $((i % 40)) -eq 0 ]; then head -c 3000000 /dev/zero > "$d/Cache/big"; fi
    i=$((i + 1))
done
i=0
while [ "$i" -lt 40 ]; do
    mkdir -p "$LINUX_HOME/.cache/org.example.app$i"
    head -c $(( i * 100000 )) /dev/zero > "$LINUX_HOME/.cache/org.example.app$i/c"
    i=$((i + 1))
done
i=0
while [ "$i" -lt 20 ]; do
    d="$LINUX_HOME/.var/app/org.example.Flat$i"
    mkdir -p "$d/cache" "$d/config/Flat/Cache" "$d/data"
    head -c $(( i * 50000 + 4096 )) /dev/zero > "$d/cache/c"
    head -c 4096 /dev/zero > "$d/config/Flat/Cache/c"
    head -c $(( i * 80000 + 4096 )) /dev/zero > "$d/data/d"
    i=$((i + 1))
done
mkdir -p "$LINUX_HOME/.cache/pip" && head -c 5000000 /dev/zero > "$LINUX_HOME/.cache/pip/i"

# The du runs each scan needs: every existing cache candidate folder, then
# every leftover candidate.
{
    echo "$MAC_HOME/.npm/_cacache"
    for d in "$MAC_HOME/Library/Caches"/*/; do echo "${d%/}"; done
    for d in "$MAC_HOME/Library/Application Support"/*/; do
        for s in Cache CachedData GPUCache "Code Cache"; do
            [ -d "$d$s" ] && echo "$d$s"
        done
    done
    for f in "Application Support" Caches; do
        for d in "$MAC_HOME/Library/$f"/*/; do echo "${d%/}"; done
    done
} > "$MAC_LIST"
{
    for d in "$LINUX_HOME/.cache"/*/; do echo "${d%/}"; done
    for d in "$LINUX_HOME/.var/app"/*/; do echo "${d}cache"; done
    for d in "$LINUX_HOME/.config"/*/ "$LINUX_HOME/.var/app"/*/config/*/; do
        for s in Cache CachedData GPUCache "Code Cache"; do
            [ -d "$d$s" ] && echo "$d$s"
        done
    done
    # Without flatpak no Flatpak folder is judged a leftover.
    if [ -x /usr/bin/flatpak ]; then
        for d in "$LINUX_HOME/.var/app"/*/; do echo "${d%/}"; done
    fi
} > "$LINUX_LIST"

# Wall-clock seconds of one run of a command.
timed() {
    s=$(date +%s.%N)
    "$@" > /dev/null
    e=$(date +%s.%N)
    echo "$e - $s" | bc
}
min() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" -eq 1 ]; then echo "$2"; else echo "$1"; fi; }

tools_mac() { tr '\n' '\0' < "$MAC_LIST" | xargs -0 -n 1 /usr/bin/du -sk; }
tools_linux() {
    tr '\n' '\0' < "$LINUX_LIST" | xargs -0 -n 1 /usr/bin/du -sk
    if [ -x /usr/bin/flatpak ]; then
        HOME="$LINUX_HOME" /usr/bin/flatpak list --app --columns=application
    fi
}
scan() { HOME="$2" XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_CACHE_HOME= "$1" scan --json; }

# The machine is shared: the contenders take turns in every round and the
# best round of each counts.
T_DU_MAC="" T_SCAN_MAC="" T_OTHER_MAC="" T_DU_LINUX="" T_SCAN_LINUX="" T_OTHER_LINUX=""
r=0
while [ "$r" -lt "$ROUNDS" ]; do
    T_DU_MAC=$(min "$T_DU_MAC" "$(timed tools_mac)")
    T_SCAN_MAC=$(min "$T_SCAN_MAC" "$(timed scan "$TCLEAN" "$MAC_HOME")")
    T_DU_LINUX=$(min "$T_DU_LINUX" "$(timed tools_linux)")
    T_SCAN_LINUX=$(min "$T_SCAN_LINUX" "$(timed scan "$TCLEAN" "$LINUX_HOME")")
    if [ -n "$OTHER" ]; then
        T_OTHER_MAC=$(min "$T_OTHER_MAC" "$(timed scan "$OTHER" "$MAC_HOME")")
        T_OTHER_LINUX=$(min "$T_OTHER_LINUX" "$(timed scan "$OTHER" "$LINUX_HOME")")
    fi
    r=$((r + 1))
done

FLATPAK_NOTE=""
[ -x /usr/bin/flatpak ] && FLATPAK_NOTE=" + 1 flatpak run"
echo "best of $ROUNDS rounds; $ENTRIES application folders per home"
printf '%-7s %-34s %10s %12s %8s\n' home "tool runs" "tools (s)" "tclean (s)" ratio
printf '%-7s %-34s %10.3f %12.3f %7.2fx\n' Mac "$(wc -l < "$MAC_LIST") du runs" \
    "$T_DU_MAC" "$T_SCAN_MAC" "$(echo "$T_SCAN_MAC / $T_DU_MAC" | bc -l)"
printf '%-7s %-34s %10.3f %12.3f %7.2fx\n' Linux "$(wc -l < "$LINUX_LIST") du runs$FLATPAK_NOTE" \
    "$T_DU_LINUX" "$T_SCAN_LINUX" "$(echo "$T_SCAN_LINUX / $T_DU_LINUX" | bc -l)"
if [ -n "$OTHER" ]; then
    printf 'other tclean: Mac %.3f s (%.2fx), Linux %.3f s (%.2fx)\n' \
        "$T_OTHER_MAC" "$(echo "$T_OTHER_MAC / $T_DU_MAC" | bc -l)" \
        "$T_OTHER_LINUX" "$(echo "$T_OTHER_LINUX / $T_DU_LINUX" | bc -l)"
    for h in "$MAC_HOME" "$LINUX_HOME"; do
        if [ "$(scan "$TCLEAN" "$h" | md5sum)" != "$(scan "$OTHER" "$h" | md5sum)" ]; then
            echo "outputs: DIFFERENT ($h)"
            exit 1
        fi
    done
    echo "outputs: identical (scan --json on both homes)"
fi
