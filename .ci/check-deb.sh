#!/bin/sh
# SPDX-License-Identifier: MIT
# Packs the build tree BUILD into its Debian packages, unpacks them into a
# temporary folder with dpkg-deb -x (the system is not touched) and builds the
# README example against what they hold. Usage: check-deb.sh BUILD
set -eu
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/packages" >/dev/null
for deb in "$tmp"/packages/*.deb; do
  echo "$(basename "$deb"):"
  dpkg-deb -c "$deb" | awk '{ print "  " $6 }'
  dpkg-deb -x "$deb" "$tmp/root"
done
# The runtime package holds the libraries and the license, the -dev package
# the rest.
dpkg-deb -c "$tmp"/packages/libquolm1_*.deb | grep -q 'libquolm64f\.so\.1\.'
dpkg-deb -c "$tmp"/packages/libquolm1_*.deb | grep -q 'share/doc/quolm/LICENSE'
dpkg-deb -c "$tmp"/packages/libquolm-dev_*.deb | grep -q 'include/quolm/quolm64f\.h'
sh "$(dirname "$0")/example.sh" "$tmp/root/usr" "$tmp/work"
