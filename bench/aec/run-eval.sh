#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the echo-canceller evaluation in build folder $1: generates the
# material, runs aec-eval (quolm and SpeexDSP side by side) and aec-bench
# (their CPU times and ratio), keeps both reports in
# $1/aec-eval-run/results.txt and plots docs/img/aec-erle.png. The
# scenarios' inputs stay there as far-*.wav and mic-*.wav for quolm-aec.
set -eu
build=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
run="$build/aec-eval-run"
mkdir -p "$run"
sh "$src/bench/aec/make-material.sh" "$run/material"
"$build/aec/aec-eval/aec-eval" --frame 128 --tail 2048 "$run/material" "$run" |
  tee "$run/results.txt"
"$build/aec/aec-eval/aec-bench" "$run/material" |
  tee -a "$run/results.txt"
mkdir -p "$src/docs/img"
gnuplot -e "dir='$run'; out='$src/docs/img/aec-erle.png'" "$src/bench/aec/erle.gp"
echo "plot: docs/img/aec-erle.png"
