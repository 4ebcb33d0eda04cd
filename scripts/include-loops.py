#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks for include loops between units: a unit is a header with its sources
# (X.h, X.cpp and the per-platform XLinux.cpp, XMac.cpp), and a unit uses
# another when one of its files includes the other's header. Prints each loop
# and exits 1 when there is one. scripts/format.sh --check runs it.
import os
import re
import sys

FOLDERS = ["engine", "cli", "app/core", "app/views"]
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def unit_of(name):
    stem = name.rsplit(".", 1)[0]
    return stem


uses = {}
for folder in FOLDERS:
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        continue
    headers = {f for f in os.listdir(path) if f.endswith(".h")}
    for name in os.listdir(path):
        if not name.endswith((".h", ".cpp")):
            continue
        unit = (folder, unit_of(name))
        with open(os.path.join(path, name), encoding="utf-8", errors="replace") as f:
            for included in re.findall(r'^#include "([^"/]+)"', f.read(), re.M):
                if included in headers and (folder, unit_of(included)) != unit:
                    uses.setdefault(unit, set()).add((folder, unit_of(included)))

loops = set()
state = {}


def visit(unit, stack):
    state[unit] = "open"
    stack.append(unit)
    for other in sorted(uses.get(unit, ())):
        if state.get(other) == "open":
            loop = stack[stack.index(other):]
            k = loop.index(min(loop))
            loops.add(tuple(loop[k:] + loop[:k]))
        elif other not in state:
            visit(other, stack)
    stack.pop()
    state[unit] = "done"


for unit in sorted(uses):
    if unit not in state:
        visit(unit, [])
for loop in sorted(loops):
    print("include loop: " + " -> ".join(f"{f}/{u}" for f, u in loop + (loop[0],)))
sys.exit(1 if loops else 0)
