#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every check CI runs: the build with warnings as
# errors and all its tests (the app's offscreen, its real-window check under
# Xvfb through xvfb-run), the install and the .deb (scripts/check-install.sh),
# the ASan+UBSan build with clang (a second compiler over the same code) with
# the engine and CLI tests and the engine's benchmarks built, the fuzz targets
# for 30 s each (scripts/fuzz.sh), the format and include-loop check and qmllint
# over the views (scripts/qmllint.sh).
set -eu
cd "$(dirname "$0")/.."

WERROR=ON scripts/setup.sh
ctest --test-dir build --output-on-failure -j 2
scripts/check-install.sh build

CC=clang CXX=clang++ BUILD_DIR=build-clang BUILD_TYPE=Debug WERROR=ON SANITIZE=ON APP=OFF BENCH=ON \
    scripts/setup.sh
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-clang --output-on-failure -j 2 -L 'engine|cli'

scripts/fuzz.sh

scripts/format.sh --check
scripts/qmllint.sh build
echo "all checks passed"
