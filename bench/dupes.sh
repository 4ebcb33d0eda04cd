#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# tclean dupes -n 100000 beside jdupes -r and rmlint over one generated corpus:
# unique files (about a hundred same-size pairs among them), a few hundred
# duplicate groups, head/tail traps (same first and last 64 KiB and size, other
# middle) and hard-linked pairs, all of 64 KiB or more so that no tool needs a
# size filter. Page cache warm, runs alternated, medians reported, and every
# reported group checked against the files' full content.
# jdupes and rmlint are installed here (Debian packages) when missing; nothing
# else of the project needs them.
#   bench/dupes.sh [TCLEAN] [RUNS]     (default build/bin/tclean, 3 runs)
set -eu
cd "$(dirname "$0")/.."
TCLEAN="${1:-build/bin/tclean}"
RUNS="${2:-3}"
for tool in jdupes rmlint; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        SUDO=""
        [ "$(id -u)" -eq 0 ] || SUDO="sudo"
        $SUDO apt-get install -y -q --no-install-recommends "$tool" >/dev/null
    fi
done
WORK=$(mktemp -d /tmp/tidlo-bench-dupes-XXXXXX)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK/home"
ROOTS="$HOME/Downloads $HOME/Desktop $HOME/Documents $HOME/Movies $HOME/Pictures"

python3 - "$HOME" <<'PY'
import os, random, sys
home = sys.argv[1]
rnd = random.Random(11)
roots = [os.path.join(home, r) for r in ("Downloads", "Desktop", "Documents", "Movies", "Pictures")]
def place(name):
    folder = os.path.join(rnd.choice(roots), "f%02d" % rnd.randrange(40))
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, name)
def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
n = 0
for i in range(5000):                      # unique files
    write(place("u%05d.bin" % i), rnd.randbytes(rnd.randint(65536, 200000)))
for g in range(300):                       # duplicate groups of 2 to 4 copies
    data = rnd.randbytes(rnd.randint(65536, 1000000))
    same = g % 3 == 0
    for c in range(rnd.randint(2, 4)):
        write(place("g%03d.dat" % g if same else "g%03d-%d.dat" % (g, c)), data)
for t in range(150):                       # head/tail traps
    size = rnd.randint(200000, 1000000)
    data = bytearray(rnd.randbytes(size))
    write(place("t%03d-a.bin" % t), bytes(data))
    data[size // 2] ^= 0xFF
    write(place("t%03d-b.bin" % t), bytes(data))
for h in range(20):                        # hard-linked pairs of one file
    first = place("h%02d.bin" % h)
    write(first, rnd.randbytes(rnd.randint(65536, 300000)))
    os.link(first, place("h%02d-link.bin" % h))
PY
echo "files: $(find $ROOTS -type f | wc -l), bytes: $(du -sb "$HOME" | cut -f1)"

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
cat $(find $ROOTS -type f) >/dev/null # warm the page cache

for name in tclean jdupes rmlint; do : >"$WORK/$name.times"; done
i=0
while [ "$i" -lt "$RUNS" ]; do
    t0=$(now); "$TCLEAN" dupes -n 100000 >"$WORK/tclean.out"; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/tclean.times"
    t0=$(now); jdupes -r -q $ROOTS >"$WORK/jdupes.out"; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/jdupes.times"
    rm -f "$WORK/rmlint.json"
    t0=$(now); rmlint -T df -o json:"$WORK/rmlint.json" $ROOTS >/dev/null 2>&1; t1=$(now)
    echo $((t1 - t0)) >>"$WORK/rmlint.times"
    i=$((i + 1))
done

# Groups as lists of paths, then checked: every group must be one content.
python3 - "$WORK" "$HOME" <<'PY'
import hashlib, json, os, sys
work, home = sys.argv[1], sys.argv[2]
def tclean():
    groups, cur = [], None
    for line in open(os.path.join(work, "tclean.out"), encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("     ~"):
            cur.append(home + line.strip()[1:])
        elif line.startswith("  ") and " 个 · " in line:
            cur = []
            groups.append(cur)
    return groups
def jdupes():
    groups, cur = [], []
    for line in open(os.path.join(work, "jdupes.out"), encoding="utf-8"):
        line = line.rstrip("\n")
        if line:
            cur.append(line)
        elif cur:
            groups.append(cur)
            cur = []
    if cur:
        groups.append(cur)
    return groups
def rmlint():
    by = {}
    for e in json.load(open(os.path.join(work, "rmlint.json"))):
        if e.get("type") == "duplicate_file":
            # Hard-linked twins come without a checksum of their own.
            key = e.get("checksum") or "size-%d-inode-%d" % (e["size"], e["inode"])
            by.setdefault(key, []).append(e["path"])
    return list(by.values())
def digest(p):
    with open(p, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()
for name, read in (("tclean", tclean), ("jdupes", jdupes), ("rmlint", rmlint)):
    groups = read()
    bad = sum(1 for g in groups if len({digest(p) for p in g}) != 1)
    links = sum(1 for g in groups if len({os.stat(p).st_ino for p in g}) == 1)
    files = sum(len(g) for g in groups)
    times = sorted(int(x) for x in open(os.path.join(work, name + ".times")))
    ms = times[(len(times) - 1) // 2] / 1e6
    print("%-7s %8.0f ms  groups %4d  files %5d  false groups %d  groups of links only %d"
          % (name, ms, len(groups), files, bad, links))
PY
