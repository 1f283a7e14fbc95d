// SPDX-License-Identifier: MIT
// W stored values of the sample type and their W Acc counterparts, for wide
// kernels written once for several widths (the RLS triangle runs 8 lanes
// under AVX-512 and 4 under AVX2 and the baseline). As in wide4_32f.h, each
// lane is a chain of its own, run in Acc and rounded to the sample type by
// an explicit conversion, so each lane gives the value of the scalar loop.
// The width is always given: these templates deduce nothing.
#ifndef QUOLM_WIDELANES32F_H
#define QUOLM_WIDELANES32F_H

#include <string.h>

#include <utility>

#include "wide4_32f.h"  // WIDE_INLINE, and the note on -Wpsabi

namespace quolm32f::widelanes {

template <int W>
struct Lanes {
  typedef DT32F Sample __attribute__((vector_size(W * sizeof(DT32F))));
  typedef Acc Wide __attribute__((vector_size(W * sizeof(Acc))));
  typedef long long Index __attribute__((vector_size(W * sizeof(Acc))));
};

template <int W>
using SampleV = typename Lanes<W>::Sample;
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

// Stores the first `count` lanes of v rounded to the sample type.
template <int W>
WIDE_INLINE void storeFirst(DT32F *p, const AccV<W> &v, int count) {
  const SampleV<W> s = narrow<W>(v);
  memcpy(p, &s, size_t(count) * sizeof(DT32F));
}

// v in every lane. Not 0 + v, which turns -0 into +0.
template <int W>
WIDE_INLINE AccV<W> splat(Acc v) {
  AccV<W> r;
#pragma GCC unroll 8
  for (int k = 0; k < W; ++k) r[k] = v;
  return r;
}

}  // namespace quolm32f::widelanes

#endif
