// SPDX-License-Identifier: MIT
// Four stored values of the sample type and their four Acc counterparts, for
// the wide forms of the per-sample kernels (the RLS triangle, the transversal
// ring loops). Every lane is a chain of its own: each operation runs in Acc
// as the scalar loop does and is rounded to the sample type by an explicit
// conversion, so each lane gives the value the scalar loop gives.
//
// The helpers are always inlined, so they are built for the target of the
// clone that runs them (QUOLM_WIDE_CLONES) and no call passes their vectors:
// GCC's note that their vector returns change the calling convention without
// AVX (-Wpsabi) does not apply. It is reported wherever GCC stands when it
// expands the clones, up to the end of the unit, so no push/pop can hold it:
// the switch covers the units that include this header, which hold only
// wide kernels.
#ifndef QUOLM_WIDE4_32F_H
#define QUOLM_WIDE4_32F_H

#include <string.h>

#include "kernels32f.h"

#pragma GCC diagnostic ignored "-Wpsabi"

namespace quolm32f::wide4 {

typedef DT32F Sample4 __attribute__((vector_size(4 * sizeof(DT32F))));
typedef Acc Acc4 __attribute__((vector_size(4 * sizeof(Acc))));

#define WIDE_INLINE inline __attribute__((always_inline))

WIDE_INLINE Sample4 load4(const DT32F *p) {
  Sample4 v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Stores v rounded to the sample type.
WIDE_INLINE void store4(DT32F *p, const Acc4 &v) {
  const Sample4 s = __builtin_convertvector(v, Sample4);
  memcpy(p, &s, sizeof s);
}

// Written per lane: GCC 12 builds __builtin_convertvector of this widening
// from two half conversions, the lane form from one.
WIDE_INLINE Acc4 widen(const Sample4 &v) {
  return Acc4{Acc(v[0]), Acc(v[1]), Acc(v[2]), Acc(v[3])};
}

// v in every lane. Not 0 + v, which turns -0 into +0.
WIDE_INLINE Acc4 splat(Acc v) { return Acc4{v, v, v, v}; }

}  // namespace quolm32f::wide4

#endif
