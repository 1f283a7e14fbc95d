#!/bin/sh
# Stops with the name of the Debian package to install when a tool or library
# that the build needs is missing. Argument: test (default), bench, figures or
# aec-eval.
need=${1:-test}
missing=""
want() { # command-or-file package
  case "$1" in
    /*) [ -e "$1" ] || missing="$missing $2" ;;
    *) command -v "$1" >/dev/null 2>&1 || missing="$missing $2" ;;
  esac
}
want cmake cmake
want g++ g++
want gcc gcc
want nm binutils
want /usr/include/gtest/gtest.h libgtest-dev
[ "$need" = bench ] && want /usr/include/benchmark/benchmark.h libbenchmark-dev
[ "$need" = bench ] && want python3 python3
# Optional peers of the benchmark (FFTW, SpeexDSP, liquid-dsp): the bench
# runs without them and names the packages that would add them.
offer() { # file package
  [ -e "$1" ] || optional="$optional $2"
}
optional=""
if [ "$need" = bench ]; then
  offer /usr/include/fftw3.h libfftw3-dev
  offer /usr/include/speex/speex_echo.h libspeexdsp-dev
  offer /usr/include/liquid/liquid.h libliquid-dev
  [ -z "$optional" ] ||
    echo "note: for the peers in the bench tables: apt-get install$optional" >&2
fi
# The echo canceller's CLI reads WAV through libsndfile (built when present).
[ "$need" = aec-eval ] && want /usr/include/sndfile.h libsndfile1-dev
# Its evaluation: SpeexDSP as the peer, speech, rooms and plots.
[ "$need" = aec-eval ] && want /usr/include/speex/speex_echo.h libspeexdsp-dev
[ "$need" = aec-eval ] && want espeak-ng espeak-ng
[ "$need" = aec-eval ] && want sox sox
[ "$need" = aec-eval ] && want gnuplot gnuplot-nox
[ "$need" = aec-eval ] && want pkg-config pkg-config
[ "$need" = aec-eval ] && want /usr/include/benchmark/benchmark.h libbenchmark-dev
# The examples' pictures (gnuplot) and the echo canceller's WAV files
# (libsndfile); without them the examples still build and run.
[ "$need" = figures ] && { want gnuplot gnuplot-nox; want /usr/include/sndfile.h libsndfile1-dev; }
if [ -n "$missing" ]; then
  echo "error: missing prerequisites; install them with:" >&2
  echo "  apt-get install$missing" >&2
  exit 1
fi
