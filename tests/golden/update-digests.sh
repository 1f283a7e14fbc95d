#!/bin/sh
# SPDX-License-Identifier: MIT
# Rewrites digests.txt from the digest programs of the build folder $1.
set -e
out="$(dirname "$0")/digests.txt"
{
  echo "# Golden digests (FNV-1a 64) of every family of both builds over the fixed"
  echo "# signal of digest32f.cpp. Regenerate with make digest-update, only for a"
  echo "# deliberate change of arithmetic, in the same commit."
  "$1/quolm_digest32f"
  "$1/quolm_digest64f"
} > "$out.new"
mv "$out.new" "$out"
echo "wrote $out"
