// SPDX-License-Identifier: MIT
// W stored values of the sample type and their W Acc counterparts, for the
// wide forms of the per-sample kernels (the RLS triangle, the transversal
// ring loops), written once for any width. Every lane is a chain of its own:
// each operation runs in Acc as the scalar loop does and is rounded to the
// sample type by an explicit conversion, so each lane gives the value the
// scalar loop gives. The width is always given: these templates deduce
// nothing.
//
// The helpers are always inlined, so they are built for the target of the
// clone that runs them (the dispatch marks of kernels32f.h) and no call
// passes their vectors: GCC's note that their vector returns change the
// calling convention without AVX (-Wpsabi) does not apply. It is reported
// wherever GCC stands when it expands the clones, up to the end of the unit,
// so no push/pop can hold it: the switch covers the units that include this
// header, which hold only wide kernels.
#ifndef QUOLM_WIDELANES32F_H
#define QUOLM_WIDELANES32F_H

#include <stdint.h>
#include <string.h>

#include <type_traits>
#include <utility>

#include "kernels32f.h"

#pragma GCC diagnostic ignored "-Wpsabi"

#define WIDE_INLINE inline __attribute__((always_inline))

namespace quolm32f::widelanes {

// Lane numbers for __builtin_shuffle of the samples: integers of their size.
typedef std::conditional_t<sizeof(DT32F) == 4, int32_t, int64_t> SampleLane;

template <int W>
struct Lanes {
  typedef DT32F Sample __attribute__((vector_size(W * sizeof(DT32F))));
  typedef Acc Wide __attribute__((vector_size(W * sizeof(Acc))));
  typedef long long Index __attribute__((vector_size(W * sizeof(Acc))));
  typedef SampleLane SampleIndex
      __attribute__((vector_size(W * sizeof(SampleLane))));
};

template <int W>
using SampleV = typename Lanes<W>::Sample;
template <int W>
using SampleLanes = typename Lanes<W>::SampleIndex;
template <int W>
using AccV = typename Lanes<W>::Wide;

// Lane k holds k.
template <int W>
WIDE_INLINE typename Lanes<W>::Index laneIndex() {
  typename Lanes<W>::Index r;
#pragma GCC unroll 8
  for (int k = 0; k < W; ++k) r[k] = k;
  return r;
}

template <int W>
WIDE_INLINE SampleV<W> narrow(const AccV<W> &v) {
  return __builtin_convertvector(v, SampleV<W>);
}

template <int W, size_t... k>
WIDE_INLINE AccV<W> widenLanes(const SampleV<W> &v,
                               std::index_sequence<k...>) {
  return AccV<W>{Acc(v[k])...};
}

// Written per lane: GCC 12 builds __builtin_convertvector of this widening
// from conversions of two lanes each, the lane form from one.
template <int W>
WIDE_INLINE AccV<W> widen(const SampleV<W> &v) {
  return widenLanes<W>(v, std::make_index_sequence<W>());
}

template <int W>
WIDE_INLINE SampleV<W> loadSamples(const DT32F *p) {
  SampleV<W> v;
  memcpy(&v, p, sizeof v);
  return v;
}

// p[0..W-1] widened: one conversion with its load folded in.
template <int W>
WIDE_INLINE AccV<W> loadWide(const DT32F *p) {
  return widen<W>(loadSamples<W>(p));
}

template <int W>
WIDE_INLINE void storeSamples(DT32F *p, const SampleV<W> &v) {
  memcpy(p, &v, sizeof v);
}

// Stores v rounded to the sample type.
template <int W>
WIDE_INLINE void storeNarrow(DT32F *p, const AccV<W> &v) {
  storeSamples<W>(p, narrow<W>(v));
}

// Stores the first `count` lanes of v rounded to the sample type.
template <int W>
WIDE_INLINE void storeFirst(DT32F *p, const AccV<W> &v, int count) {
  const SampleV<W> s = narrow<W>(v);
  memcpy(p, &s, size_t(count) * sizeof(DT32F));
}

// v in every lane. Not 0 + v, which turns -0 into +0; and a loop, not the
// list {v, ...}, which GCC 12 builds for AVX-512 from dependent masked
// broadcasts.
template <int W>
WIDE_INLINE AccV<W> splat(Acc v) {
  AccV<W> r;
#pragma GCC unroll 8
  for (int k = 0; k < W; ++k) r[k] = v;
  return r;
}

}  // namespace quolm32f::widelanes

#endif
