#!/bin/sh
# SPDX-License-Identifier: MIT
# Generates the echo-canceller evaluation material in folder $1 (16 kHz mono,
# float WAV): far.wav (20 s of speech from several voices), near.wav (a
# second talker, 6 s), noise.wav (near-end pink noise), and the impulse
# responses of two rooms, irA.wav and irB.wav: each is a sox effect chain
# (loudspeaker band, bulk delay, reverb) measured with a unit impulse and cut
# to 2048 taps (128 ms) with a 10 ms fade; the evaluation convolves the far
# end with them. Needs espeak-ng and sox.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
rate=16000
fmt="-r $rate -c 1 -b 32 -e floating-point"

say() { # voice text out.wav: speech at 16 kHz, rumble removed, peak -3 dBFS
  espeak-ng -v "$1" -s 165 -w tmp-say.wav "$2"
  sox tmp-say.wav $fmt "$3" highpass 80 gain -n -3
}
say en-us+m3 "The quick brown fox jumps over the lazy dog, and then it runs far away into the forest." f1.wav
say en-gb+f3 "Please call me back when you have a moment; I would like to discuss the budget for next year." f2.wav
say en-us+f2 "Seven large boxes of fresh oranges arrived at the market early this morning." f3.wav
say en-gb-x-rp+m1 "Weather tomorrow: cloudy at first, with sunny spells later and a light breeze from the west." f4.wav
say en-us+m7 "I am sorry, could you repeat that? The line was breaking up for a second." n1.wav
sox f1.wav f2.wav f3.wav f4.wav f1.wav f2.wav tmp-far.wav
sox tmp-far.wav far.wav pad 0.3 trim 0 20
sox n1.wav n1b.wav pad 0 0.4
sox n1b.wav n1b.wav tmp-near.wav
sox tmp-near.wav near.wav gain -3 trim 0 6
sox -R -n $fmt noise.wav synth 20 pinknoise vol 0.01 highpass 80

# A unit impulse, 2048 samples, as sox text data.
awk -v r=$rate 'BEGIN { print "; Sample Rate " r; print "; Channels 1";
  for (i = 0; i < 2048; i++) printf "%.8f %d\n", i / r, i == 0 }' > imp.dat
room() { # name effects...: the chain's response to the impulse
  name=$1; shift
  sox imp.dat $fmt "ir$name.wav" "$@" trim 0 2048s fade t 0 2048s 160s
}
room A highpass 150 lowpass 6000 delay 0.006 reverb 40 50 40 100 0 -4 gain -4
room B highpass 200 lowpass 5000 delay 0.017 reverb 60 30 70 100 5 -2 gain -6
rm -f tmp-*.wav n1b.wav imp.dat
