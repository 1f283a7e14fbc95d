#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the two libraries and the digest programs (nothing else, Release) in
# the configurations that must give the committed digests: -march=x86-64-v3
# when this CPU runs it (FMA within reach of the compiler) and clang when it
# is installed; each must match tests/golden/digests.txt and hold no fused
# multiply-add. The x86-64-v3 tree leaves out the AVX-512 builds of the hot
# loops, so that their AVX2 builds run here too. Arguments: the job count,
# then extra CMake flags.
jobs=${1:-2}
[ $# -gt 0 ] && shift
status=0
check() { # name, CMake flags...
  dir="build-digest-$1"
  shift
  echo "== digests: $dir"
  if cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUOLM_BUILD_TESTS=OFF \
       -DQUOLM_BUILD_DEMO=OFF -DQUOLM_BUILD_AEC=OFF -DQUOLM_BUILD_EXAMPLES=OFF \
       -DQUOLM_BUILD_BENCH=OFF -DQUOLM_DIGEST=ON "$@" >/dev/null &&
     cmake --build "$dir" -j "$jobs" >/dev/null &&
     (cd "$dir" && ctest --output-on-failure); then
    return 0
  fi
  status=1
}
flags=$(grep -m1 '^flags' /proc/cpuinfo 2>/dev/null)
case "$flags" in
  *" avx2"*) case "$flags" in *" fma"*) case "$flags" in *" bmi2"*)
    check x86-64-v3 -DCMAKE_C_FLAGS=-march=x86-64-v3 \
      -DCMAKE_CXX_FLAGS=-march=x86-64-v3 -DQUOLM_AVX512_CLONES=OFF "$@" ;;
  esac ;; esac ;;
esac
if command -v clang++ >/dev/null 2>&1 && command -v clang >/dev/null 2>&1; then
  check clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "$@"
fi
exit $status
