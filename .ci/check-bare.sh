#!/bin/sh
# SPDX-License-Identifier: MIT
# A machine without GoogleTest and Google Benchmark, as CMake sees it: the
# default configure must skip tests and benchmarks with a status line, and
# still build the libraries (static here) and the demo; the demo runs, and the
# installed static libraries serve the README example. The tree is a Debug
# one, whose compile lines must carry -O0 and no other optimisation level.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake -S "$src" -B "$tmp/build" -DCMAKE_BUILD_TYPE=Debug -DBUILD_SHARED_LIBS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$tmp/configure.log"
grep -q "quolm: the tests skipped: GoogleTest not found" "$tmp/configure.log"
grep -q "quolm: the benchmarks skipped: Google Benchmark not found" "$tmp/configure.log"
if grep -E -- '-O([1-9sgz]|fast)' "$tmp/build/compile_commands.json" | grep -q .; then
  echo "error: a Debug compile line carries an optimisation level" >&2
  exit 1
fi
cmake --build "$tmp/build" -j 2 >/dev/null
(cd "$tmp" && build/demo/pbfdafdemo >/dev/null)
cmake --install "$tmp/build" --prefix "$tmp/prefix" >/dev/null
test -f "$tmp/prefix/lib/libquolm32f.a"
test -f "$tmp/prefix/share/doc/quolm/LICENSE"
sh "$src/.ci/example.sh" "$tmp/prefix" "$tmp/work"
echo "bare machine: libraries, demo and install fine"
