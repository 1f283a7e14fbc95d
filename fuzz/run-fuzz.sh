#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang in build-fuzz, replays the committed
# corpus (ctest), then fuzzes each build in turn for SECONDS seconds, one
# process at a time. With "keep", fuzz/corpus becomes the smallest set of its
# inputs and the new ones that covers everything they cover together.
# Arguments: SECONDS [keep] [job count].
seconds=${1:-30}
keep=${2:-}
jobs=${3:-2}
set -e
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQUOLM_BUILD_TESTS=OFF -DQUOLM_BUILD_DEMO=OFF \
  -DQUOLM_BUILD_AEC=OFF -DQUOLM_BUILD_EXAMPLES=OFF -DQUOLM_BUILD_BENCH=OFF \
  -DQUOLM_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target quolm_fuzz32f quolm_fuzz64f >/dev/null
(cd build-fuzz && ctest --output-on-failure)
mkdir -p fuzz/corpus
for tag in 32f 64f; do
  new="build-fuzz/new-$tag"
  rm -rf "$new" && mkdir -p "$new"
  echo "== fuzzing libquolm$tag for $seconds s"
  log="build-fuzz/fuzz-$tag.log"
  if ! "build-fuzz/fuzz/quolm_fuzz$tag" -max_total_time="$seconds" \
      -max_len=512 -timeout=10 -artifact_prefix=build-fuzz/ \
      -print_final_stats=1 "$new" fuzz/corpus >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzzing libquolm$tag failed; the input is in build-fuzz/ (see $log)"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$log"
done
[ "$keep" = keep ] || exit 0
# The smallest set of the old and new inputs that reaches every edge either
# build reached (edges only, not hit counts, which would keep far more).
min=build-fuzz/corpus-min
rm -rf "$min" && mkdir -p "$min"
for tag in 32f 64f; do
  "build-fuzz/fuzz/quolm_fuzz$tag" -merge=1 -use_counters=0 "$min" \
    fuzz/corpus build-fuzz/new-32f build-fuzz/new-64f >build-fuzz/merge.log 2>&1
done
rm -rf fuzz/corpus && mv "$min" fuzz/corpus
echo "fuzz/corpus: $(ls fuzz/corpus | wc -l) inputs"

