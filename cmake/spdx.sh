#!/bin/sh
# SPDX-License-Identifier: MIT
# Every source, header, script and build file starts with an SPDX license
# line. Without arguments: lists the files that lack it and fails. With --fix:
# adds the line (after a #! line) in the comment form of the file's kind.
# Run from anywhere inside the repository.
set -eu
cd "$(dirname "$0")/.."
line="SPDX-License-Identifier: MIT"

files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files
  else
    find . -type f ! -path './build*' | sed 's|^\./||'
  fi
}

# The comment that carries the line in FILE, or nothing for files it skips.
comment() {
  case "$1" in
    *.c|*.h) echo "/* $line */" ;;
    *.cpp|*.cc|*.hpp) echo "// $line" ;;
    *.cmake|*.cmake.in|*.pc.in|*.sh|*.py|*CMakeLists.txt|*Makefile|.ci/*)
      echo "# $line" ;;
  esac
}

fix=${1:-}
missing=0
for f in $(files); do
  [ -f "$f" ] || continue
  c=$(comment "$f")
  [ -n "$c" ] || continue
  head -n 3 "$f" | grep -q "$line" && continue
  if [ "$fix" = --fix ]; then
    if head -n 1 "$f" | grep -q '^#!'; then
      { head -n 1 "$f"; echo "$c"; tail -n +2 "$f"; } >"$f.spdx"
    else
      { echo "$c"; cat "$f"; } >"$f.spdx"
    fi
    # A new file in place of the old one: a running script (this one) keeps
    # reading the old text.
    chmod --reference="$f" "$f.spdx" && mv "$f.spdx" "$f"
    echo "added: $f"
  else
    echo "no SPDX line: $f" >&2
    missing=1
  fi
done
[ "$missing" = 0 ] || { echo "fix with: sh cmake/spdx.sh --fix" >&2; exit 1; }
