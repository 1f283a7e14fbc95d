#!/bin/sh
# SPDX-License-Identifier: MIT
# Fails when a library holds a fused multiply-add instruction (x86 FMA3/FMA4,
# Arm fmla/fmls/fmadd/fmsub/fcmla and their negated forms): every product is
# rounded before it is added. Arguments: the libraries; OBJDUMP may name the
# target's objdump.
status=0
for lib in "$@"; do
  found=$(${OBJDUMP:-objdump} -d --no-show-raw-insn "$lib" |
    awk -F'\t' 'NF > 1 { split($2, w, " "); print w[1] }' |
    grep -E '^(v?fn?m(add|sub)|vfm(addsub|subadd)|fml[as]|fcmla)' |
    sort | uniq -c)
  if [ -n "$found" ]; then
    echo "$lib: fused multiply-add instructions:" >&2
    echo "$found" >&2
    status=1
  fi
done
exit $status
