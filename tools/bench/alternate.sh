#!/usr/bin/env bash
# Runs the bench of two build folders in turn, A B A B ..., so that two builds are compared in
# one run on a machine that drifts from minute to minute. Prints one JSON line per run, after
# the folder it came from; extra arguments go to the bench.
#   tools/bench/alternate.sh BUILD_A BUILD_B ROUNDS [bench options]
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 BUILD_A BUILD_B ROUNDS [bench options]" >&2; exit 2; }
a=$1 b=$2 rounds=$3
shift 3
for _ in $(seq 1 "$rounds"); do
  for build in "$a" "$b"; do
    echo "$build $(cd "$build" && ./tools/bench/bench "$@" 2>/dev/null)"
  done
done
