#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs pbfdafdemo in a fresh folder BUILD/demo-run and says where its files
# are. Where gnuplot is installed it also draws learning-curve.png there: the
# power of the desired signal and of the error over time (window means), and the
# learned coefficients beside the plant's. Argument: the build folder.
set -eu
build=${1:-build}
demo="$build/demo/pbfdafdemo"
if [ ! -x "$demo" ]; then
  echo "error: $demo is not built; run: cmake --build $build --target pbfdafdemo" >&2
  exit 1
fi
demo="$(cd "$(dirname "$demo")" && pwd)/pbfdafdemo"
run="$build/demo-run"
rm -rf "$run"
mkdir -p "$run"
run="$(cd "$run" && pwd)"

echo "Running pbfdafdemo in $run"
echo
status=0
(cd "$run" && "$demo") || status=$?
if [ "$status" -ne 0 ]; then
  echo
  echo "error: pbfdafdemo failed with exit status $status" >&2
  exit 1
fi
echo
echo "Its files are in $run:"
echo "  inp.txt  the white-noise input, one sample per line (4998 samples)"
echo "  des.txt  the unknown 12-tap system's output, the desired signal"
echo "  out.txt  the adaptive filter's output"
echo "  err.txt  the error, des - out"
echo "  cof.txt  the 12 learned coefficients"

if ! command -v gnuplot >/dev/null 2>&1; then
  echo
  echo "To draw the learning curve (learning-curve.png), install gnuplot"
  echo "(apt-get install gnuplot-nox) and run make demo again."
  exit 0
fi

cd "$run"
# Mean power of d and e over windows of 30 samples (5 blocks), in dB, plotted
# at the window's middle. The files hold five decimals, so the error ends at
# zero; -120 dB stands for it.
paste des.txt err.txt | awk '
  function db(p) { return 10 * log(p > 1e-12 ? p : 1e-12) / log(10) }
  { pd += $1 * $1; pe += $2 * $2 }
  NR % 30 == 0 { print NR - 15, db(pd / 30), db(pe / 30); pd = 0; pe = 0 }' \
  >learning-curve.dat
# The plant of the demo program, tap by tap beside the learned coefficients.
printf '%s\n' 0.1 0.3 -0.4 0.7 -0.3 0.9 0.5 0.2 0.1 0.4 0.8 0.6 |
  paste - cof.txt | awk 'NF == 2 { print NR - 1, $1, $2 }' >coefficients.dat

terminal=pngcairo
gnuplot -e 'set terminal pngcairo' >/dev/null 2>&1 || terminal=png
gnuplot <<EOF
set terminal $terminal size 1100,450
set output 'learning-curve.png'
set multiplot layout 1,2 title 'pbfdafdemo: identifying a 12-tap FIR system'
set title 'Signal power (means over 30 samples)'
set xlabel 'sample'
set ylabel 'dB'
set grid
set key center right
plot 'learning-curve.dat' using 1:2 with lines lw 2 title 'desired d', \
     '' using 1:3 with lines lw 2 title 'error e'
set title 'Coefficients'
set xlabel 'tap'
set ylabel ''
set xrange [-0.5:11.5]
set xzeroaxis
set key bottom right
plot 'coefficients.dat' using 1:2 with impulses lw 8 title 'plant', \
     '' using 1:3 with points pt 7 ps 1.5 title 'learned'
unset multiplot
EOF
echo "  learning-curve.png  the learning curve and the coefficients"
