#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the build tree BUILD into a temporary prefix and builds the README
# example against it. Usage: check-install.sh BUILD
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$1" --prefix "$tmp/prefix" >/dev/null
test -f "$tmp/prefix/share/doc/quolm/LICENSE"
sh "$(dirname "$0")/example.sh" "$tmp/prefix" "$tmp/work"
