#!/bin/bash
# How many sequences a minute the simulated administrator runs: the same
# rounds of fixed seeds (each round ten generated servers with their presses)
# timed as a whole process by farm-bench, five runs, the median taken. A
# measurement, not a test: the wall figure depends on the machine and its
# load; the figure per minute of processor time much less so.
#
# usage: bench/admin_rate.sh [BUILD_DIR] [ROUNDS]
#   BUILD_DIR  the native build (default build)
#   ROUNDS     rounds a run (default 10, that is 100 sequences)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
rounds=${2:-10}
tests=$build/tests/admin/admin_tests
[ -x "$tests" ] || { echo "admin_rate: no $tests (build the native tree first)" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
ADMIN_SEED=1 ADMIN_ROUNDS=$rounds ADMIN_SECONDS=100000 farm-bench -n 5 --timeout 3000 -- \
  sh -c "exec '$tests' --gtest_filter='SimulatedAdministrator.*' >>'$out' 2>&1" | tee /dev/stderr |
  awk -v seqs=$((rounds * 10)) '
    $2 == "wall" { print "median wall " $5 " s: " int(seqs * 60 / $5) " sequences a minute on this machine as loaded now" }
    $2 == "cpu"  { print "median cpu " $5 " s: " int(seqs * 60 / $5) " sequences a minute of one core" }'
grep -m1 'sequences,' "$out"
