// SPDX-License-Identifier: MIT
// A group of stored values of the sample type, 32 bytes of them (eight in the
// single build, four in the double), and their Acc counterparts, for the
// transversal ring kernels, on the terms of wide4_32f.h: each lane is a chain
// of its own, rounded by explicit conversions, and the helpers are always
// inlined into the clone that runs them.
#ifndef QUOLM_WIDEGROUP32F_H
#define QUOLM_WIDEGROUP32F_H

#include <stdint.h>

#include <type_traits>
#include <utility>

#include "wide4_32f.h"

namespace quolm32f::widegroup {

constexpr DT32S kLanes = 32 / sizeof(DT32F);

typedef DT32F Samples __attribute__((vector_size(kLanes * sizeof(DT32F))));
typedef Acc Accs __attribute__((vector_size(kLanes * sizeof(Acc))));

// Lane numbers for __builtin_shuffle: integers of the sample's size.
typedef std::conditional_t<sizeof(DT32F) == 4, int32_t, int64_t> Lane;
typedef Lane Lanes __attribute__((vector_size(kLanes * sizeof(Lane))));

template <size_t... J>
constexpr Lanes laneNumbers(std::index_sequence<J...>) {
  return Lanes{Lane(J)...};
}
constexpr Lanes kLaneNumbers = laneNumbers(std::make_index_sequence<kLanes>{});

WIDE_INLINE Samples loadGroup(const DT32F *p) {
  Samples v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Stores v rounded to the sample type.
WIDE_INLINE void storeGroup(DT32F *p, const Accs &v) {
  const Samples s = __builtin_convertvector(v, Samples);
  memcpy(p, &s, sizeof s);
}

// Written per lane: GCC 12 builds __builtin_convertvector of this widening
// from two half conversions, the lane form from one.
template <size_t... J>
WIDE_INLINE Accs widenLanes(const Samples &v, std::index_sequence<J...>) {
  return Accs{Acc(v[J])...};
}
WIDE_INLINE Accs widen(const Samples &v) {
  return widenLanes(v, std::make_index_sequence<kLanes>{});
}

// v in every lane. Written as a loop: GCC 12 builds the list form {v, ...}
// for AVX-512 from seven dependent masked broadcasts.
WIDE_INLINE Accs splat(Acc v) {
  Accs r;
  for (DT32S j = 0; j < kLanes; ++j) r[j] = v;
  return r;
}

}  // namespace quolm32f::widegroup

#endif
