#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the README's example program against the quolm installed under
# PREFIX, as the README tells a user to: once with pkg-config and once with
# CMake's find_package and its components; runs both. Also checks that the
# CMake package turns down a wrong major version and an unknown component.
# Usage: example.sh PREFIX WORKDIR
set -eu
prefix=$1
work=$2
readme="$(dirname "$0")/../README.md"
mkdir -p "$work"

# The first fenced block of the given language in the README.
block() {
  awk -v lang="$1" '
    !found && $0 == "```" lang { inside = 1; found = 1; next }
    inside && $0 == "```" { exit }
    inside { print }' "$readme"
}
block c >"$work/lmsdemo.c"
block cmake >"$work/CMakeLists.txt"
[ -s "$work/lmsdemo.c" ] && [ -s "$work/CMakeLists.txt" ] || {
  echo "error: no C or CMake example in $readme" >&2; exit 1; }

learned() { # program: its first value must be the plant's first tap, 0.5
  out=$("$1")
  echo "$1: $out"
  case "$out" in 0.49999*|0.50000*) ;; *) echo "error: not learned" >&2; exit 1 ;; esac
}

# pkg-config, with the run-time path the README gives.
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name quolm32f.pc)")
export PKG_CONFIG_PATH
cc "$work/lmsdemo.c" $(pkg-config --cflags --libs quolm32f) \
   -Wl,-rpath,"$(pkg-config --variable=libdir quolm32f)" -o "$work/lmsdemo-pc"
learned "$work/lmsdemo-pc"
# The package's version is the one in the installed header.
version=$(awk '/^#define QUOLM_VERSION_(MAJOR|MINOR|PATCH) / {
  printf "%s%s", sep, $3; sep = "." }' "$(pkg-config --variable=includedir quolm32f)/quolmdefs.h")
[ "$(pkg-config --modversion quolm64f)" = "$version" ] || {
  echo "error: pkg-config version differs from quolmdefs.h ($version)" >&2; exit 1; }

# CMake components; the version and component refusals are appended.
cat >>"$work/CMakeLists.txt" <<'CMAKE'
find_package(quolm 2 QUIET)
find_package(quolm 1.0 QUIET COMPONENTS quolm16f)
if(quolm_FOUND)
  message(FATAL_ERROR "version 2 or component quolm16f accepted")
endif()
CMAKE
cmake -S "$work" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
learned "$work/build/lmsdemo"
