#!/bin/sh
# Stops with the name of the Debian package to install when a tool or library
# that the build needs is missing. Argument: test (default), bench, fuzz or
# cross.
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
[ "$need" = fuzz ] && want clang++ clang
[ "$need" = cross ] && want aarch64-linux-gnu-g++ g++-aarch64-linux-gnu
[ "$need" = cross ] && want qemu-aarch64 qemu-user
if [ -n "$missing" ]; then
  echo "error: missing prerequisites; install them with:" >&2
  echo "  apt-get install$missing" >&2
  exit 1
fi
