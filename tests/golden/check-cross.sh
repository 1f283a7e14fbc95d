#!/bin/sh
# SPDX-License-Identifier: MIT
# Cross-builds the two libraries and the digest programs for aarch64 (Debian's
# g++-aarch64-linux-gnu) and runs the digest tests under qemu-aarch64.
# Arguments: the job count, then extra CMake flags.
jobs=${1:-2}
[ $# -gt 0 ] && shift
set -e
cmake -S . -B build-cross -DCMAKE_BUILD_TYPE=Release -DQUOLM_BUILD_TESTS=OFF \
  -DQUOLM_BUILD_DEMO=OFF -DQUOLM_BUILD_AEC=OFF -DQUOLM_BUILD_EXAMPLES=OFF \
  -DQUOLM_BUILD_BENCH=OFF -DQUOLM_DIGEST=ON -DCMAKE_SYSTEM_NAME=Linux \
  -DCMAKE_SYSTEM_PROCESSOR=aarch64 \
  -DCMAKE_C_COMPILER=aarch64-linux-gnu-gcc \
  -DCMAKE_CXX_COMPILER=aarch64-linux-gnu-g++ \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=qemu-aarch64;-L;/usr/aarch64-linux-gnu" \
  "$@" >/dev/null
cmake --build build-cross -j "$jobs" >/dev/null
cd build-cross && ctest --output-on-failure
