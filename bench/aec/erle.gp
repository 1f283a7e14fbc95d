# SPDX-License-Identifier: MIT
# ERLE over time of both cancellers in the three scenarios. Call with
# gnuplot -e "dir='...'; out='...png'" erle.gp
set terminal pngcairo size 1000,900 font ",10"
set output out
set multiplot layout 3,1
set grid
set ylabel "ERLE (dB)"
set yrange [-5:50]
set key bottom right
titles = "single change double"
names = "single talk|echo-path change at 8 s|double talk 8-14 s"
do for [i = 1:3] {
  s = word(titles, i)
  set title sprintf("%s", system(sprintf("echo '%s' | cut -d'|' -f%d", names, i)))
  if (i == 3) { set xlabel "time (s)" }
  plot sprintf("%s/erle-%s.dat", dir, s) using 1:2 with lines lw 1.5 title "quolm (16-bit)", \
       "" using 1:3 with lines lw 1 dt 2 title "quolm (unit scale)", \
       "" using 1:4 with lines lw 1.5 title "SpeexDSP", \
       20 with lines lc "gray" dt 3 notitle
}
unset multiplot
