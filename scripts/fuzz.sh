#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang (AddressSanitizer, UBSan and leak
# checks) into build-fuzz/ and runs each for a fixed time, starting from its
# seed corpus in fuzz/corpus/<target>/. Fails on any crash, leak, time-out or
# sanitizer report; the input that caused it is kept in build-fuzz/findings/.
#   scripts/fuzz.sh                 every target, 30 s each
#   FUZZ_SECONDS=300 scripts/fuzz.sh fuzz_history
#   FUZZ_SEED=0 scripts/fuzz.sh     a new random seed each run (default: seed 1,
#                                   so a run of the test script explores the
#                                   same way each time)
set -eu
cd "$(dirname "$0")/.."

BUILD_DIR="${BUILD_DIR:-build-fuzz}"
SECONDS_EACH="${FUZZ_SECONDS:-30}"
SEED="${FUZZ_SEED:-1}"
TARGETS="${*:-fuzz_parsers fuzz_tree_cache fuzz_history fuzz_preferences fuzz_info_plist fuzz_user_dirs fuzz_cli_args}"

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIDLO_FUZZ=ON -DTIDLO_BUILD_TESTS=OFF -DTIDLO_BUILD_APP=OFF >/dev/null
# shellcheck disable=SC2086 # one word per target
cmake --build "$BUILD_DIR" -j 2 --target $TARGETS

findings="$BUILD_DIR/findings"
mkdir -p "$findings"
failed=""
summary=""
for target in $TARGETS; do
    # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
    scratch=$(mktemp -d)
    log="$BUILD_DIR/$target.log"
    echo "fuzz: $target for ${SECONDS_EACH} s"
    status=0
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_EACH" -seed="$SEED" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$scratch" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    rm -rf "$scratch"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    edges=$(sed -n 's/.*DONE *cov: \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ] || grep -q -e '^==[0-9]*==ERROR' -e 'runtime error:' "$log"; then
        failed="$failed $target"
        summary="$summary
  $target: FAILED (status $status), see $log"
        tail -n 40 "$log"
    else
        summary="$summary
  $target: ${took:-?} s, ${runs:-?} runs, ${edges:-?} coverage edges, no finding"
    fi
done
echo "fuzz results:$summary"
if [ -n "$failed" ]; then
    echo "fuzz: findings in$failed (inputs in $findings)"
    exit 1
fi
