#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the benchmark programs from the build folder in one go: every
# benchmark three times, interleaved at random, so that ratios compare runs
# made side by side. The programs' own output goes to bench-raw.txt (with the
# benchmark library's notes about its own build); the summary tables go to
# the terminal and to bench-summary.txt. Extra arguments go to Google
# Benchmark (e.g. --benchmark_filter=Lms). With --doc FILE the tables also
# replace those in FILE (docs/performance.md).
set -e
doc=""
if [ "$1" = --doc ]; then doc="--doc $2"; shift 2; fi
flags="--benchmark_min_time=0.05 --benchmark_repetitions=3
  --benchmark_enable_random_interleaving=true
  --benchmark_report_aggregates_only=true"
: > bench-raw.txt
for tag in 32f 64f; do
  echo "== libquolm$tag" >> bench-raw.txt
  echo "running libquolm$tag benchmarks ..."
  ./bench/quolm_bench$tag $flags --benchmark_out=bench-$tag.json \
    --benchmark_out_format=json "$@" >> bench-raw.txt 2>&1
done
echo "== C++ layer (both libraries)" >> bench-raw.txt
echo "running C++ layer benchmarks ..."
./bench/cpp/quolm_bench_cpp $flags "$@" >> bench-raw.txt 2>&1
echo
python3 "$(dirname "$0")/summary.py" bench-32f.json bench-64f.json $doc | tee bench-summary.txt
echo
echo "raw output: $(pwd)/bench-raw.txt"
