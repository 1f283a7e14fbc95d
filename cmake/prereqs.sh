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
# The Python package and its tests; without them make test skips the package.
optional=""
wantpy() { # file package
  [ -e "$1" ] || optional="$optional $2"
}
if [ "$need" = test ]; then
  py=/usr/lib/python3/dist-packages
  wantpy /usr/bin/python3-config python3-dev
  wantpy /usr/include/pybind11/pybind11.h pybind11-dev
  wantpy $py/pybind11/__init__.py python3-pybind11
  wantpy $py/numpy/__init__.py python3-numpy
  wantpy $py/pytest/__init__.py python3-pytest
  wantpy $py/hypothesis/__init__.py python3-hypothesis
fi
[ -n "$optional" ] && echo "note: the Python package is skipped; for it: apt-get install$optional" >&2
if [ -n "$missing" ]; then
  echo "error: missing prerequisites; install them with:" >&2
  echo "  apt-get install$missing" >&2
  exit 1
fi
