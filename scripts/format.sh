#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats the C++ sources with the repository's .clang-format;
# --check only reports files that differ, and fails on an include loop between
# units (scripts/include-loops.py).
set -eu
cd "$(dirname "$0")/.."
FILES=$(git ls-files '*.h' '*.cpp')
if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run --Werror $FILES
    python3 scripts/include-loops.py
else
    clang-format -i $FILES
fi
