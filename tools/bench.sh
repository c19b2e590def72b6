#!/usr/bin/env bash
# make bench: runs every benchmark program (each compares itself with its peer in the same run).
set -euo pipefail
build=$1
for b in "$build"/bench/bench_*; do
    [[ -f "$b" && -x "$b" ]] || continue  # not the build folders beside them
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done
