#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the benchmark programs from the build folder; extra arguments go to
# Google Benchmark (e.g. --benchmark_filter=Lms).
set -e
for tag in 32f 64f; do
  echo "== libquolm$tag"
  ./bench/quolm_bench$tag --benchmark_min_time=0.05 "$@"
done
echo "== C++ layer (both libraries)"
./bench/cpp/quolm_bench_cpp --benchmark_min_time=0.05 "$@"
