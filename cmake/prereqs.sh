#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes sure the Debian packages that a purpose needs are installed.
# Usage: prereqs.sh PURPOSE...  with PURPOSE one of demo, install, test,
# bench, docs, deb, figures, aec-eval, fuzz, cross, python (the Python package's install). Run as root with apt-get at hand, it installs what is
# missing (after apt-get update, saying which); otherwise it stops with the
# command that would.
set -eu

# One line per requirement: the purposes that need it (comma-separated, or
# "all"), what shows it is there (a command, or an absolute path), the
# Debian package, and "optional" where the purpose works without it.
requirements() {
  cat <<'TABLE'
all           cmake                                   cmake
all           g++                                     g++
all           cc                                      gcc
all           make                                    make
test          /usr/include/gtest/gtest.h              libgtest-dev
test          nm                                      binutils
test,deb      pkg-config                              pkg-config
test,deb      dpkg-deb                                dpkg
bench         /usr/include/benchmark/benchmark.h      libbenchmark-dev
bench         /usr/include/fftw3.h                    libfftw3-dev  optional
bench         python3                                 python3
bench         /usr/include/speex/speex_echo.h         libspeexdsp-dev  optional
bench         /usr/include/liquid/liquid.h            libliquid-dev  optional
docs          doxygen                                 doxygen
test,figures  /usr/include/sndfile.h                  libsndfile1-dev  optional
figures,aec-eval gnuplot                              gnuplot-nox
aec-eval      pkg-config                              pkg-config
aec-eval      /usr/include/sndfile.h                  libsndfile1-dev
aec-eval      /usr/include/speex/speex_echo.h         libspeexdsp-dev
aec-eval      espeak-ng                               espeak-ng
aec-eval      sox                                     sox
aec-eval      /usr/include/benchmark/benchmark.h      libbenchmark-dev
test,fuzz     clang++                                 clang  optional
test,python   /usr/bin/python3-config                 python3-dev  optional
test,python   /usr/include/pybind11/pybind11.h        pybind11-dev  optional
test,python   /usr/lib/python3/dist-packages/pybind11 python3-pybind11  optional
test,python   /usr/lib/python3/dist-packages/numpy    python3-numpy  optional
test          /usr/lib/python3/dist-packages/pytest   python3-pytest  optional
test          /usr/lib/python3/dist-packages/hypothesis python3-hypothesis  optional
python        /usr/lib/python3.11/ensurepip/__init__.py python3-venv
figures       /usr/lib/python3/dist-packages/matplotlib python3-matplotlib  optional
cross         aarch64-linux-gnu-g++                   g++-aarch64-linux-gnu
cross         qemu-aarch64                            qemu-user
TABLE
}

purposes=" ${*:-test} "
missing=""
optional=""
while read -r users what package kind; do
  wanted=no
  for p in $(echo "$users" | tr , " "); do
    case "$purposes" in *" $p "*) wanted=yes ;; esac
    [ "$p" = all ] && wanted=yes
  done
  [ "$wanted" = yes ] || continue
  case "$what" in
    /*) [ -e "$what" ] && continue ;;
    *) command -v "$what" >/dev/null 2>&1 && continue ;;
  esac
  case " $missing $optional " in *" $package "*) continue ;; esac
  if [ "${kind:-}" = optional ]; then optional="$optional $package"
  else missing="$missing $package"; fi
done <<EOF2
$(requirements)
EOF2

[ -n "$missing$optional" ] || exit 0
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
  echo "prereqs: installing$missing$optional (for:$purposes)"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends $missing $optional
  exit 0
fi
[ -z "$optional" ] || echo "prereqs: optional, not installed:$optional"
[ -n "$missing" ] || exit 0
echo "error: missing prerequisites for:$purposes; install them with:" >&2
echo "  apt-get install$missing" >&2
exit 1
