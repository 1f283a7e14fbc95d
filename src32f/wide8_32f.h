// SPDX-License-Identifier: MIT
// Eight stored values of the sample type and their eight Acc counterparts,
// for the transversal ring kernels, on the terms of wide4_32f.h: each lane is
// a chain of its own, rounded by explicit conversions, and the helpers are
// always inlined into the clone that runs them.
#ifndef QUOLM_WIDE8_32F_H
#define QUOLM_WIDE8_32F_H

#include "wide4_32f.h"

namespace quolm32f::wide8 {

constexpr DT32S kLanes = 8;

typedef DT32F Sample8 __attribute__((vector_size(kLanes * sizeof(DT32F))));
typedef Acc Acc8 __attribute__((vector_size(kLanes * sizeof(Acc))));

WIDE_INLINE Sample8 load8(const DT32F *p) {
  Sample8 v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Stores v rounded to the sample type.
WIDE_INLINE void store8(DT32F *p, const Acc8 &v) {
  const Sample8 s = __builtin_convertvector(v, Sample8);
  memcpy(p, &s, sizeof s);
}

// Written per lane: GCC 12 builds __builtin_convertvector of this widening
// from two half conversions, the lane form from one.
WIDE_INLINE Acc8 widen8(const Sample8 &v) {
  return Acc8{Acc(v[0]), Acc(v[1]), Acc(v[2]), Acc(v[3]),
              Acc(v[4]), Acc(v[5]), Acc(v[6]), Acc(v[7])};
}

// v in every lane. Written as a loop: GCC 12 builds the list form {v, ...}
// for AVX-512 from seven dependent masked broadcasts.
WIDE_INLINE Acc8 splat8(Acc v) {
  Acc8 r;
  for (DT32S j = 0; j < kLanes; ++j) r[j] = v;
  return r;
}

}  // namespace quolm32f::wide8

#endif
