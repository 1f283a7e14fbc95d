/* SPDX-License-Identifier: MIT */
// Inner loops shared by the transversal families. Every dot product runs in
// one double accumulator in increasing coefficient order; values are rounded
// to the sample type only where they are stored.
//
// Names: the precision tag (32f) marks exported C names and file names only;
// inside namespace quolm32f, which carries it already, names are untagged.
// Letters that mean different things in different families:
//   P  partitions (PBFDAF); inverse correlation triangle (RLS); bin or stage
//      powers (TDLMS, gradient lattices, spectral routines)
//   M  transform size (TDLMS, BFDAF, PBFDAF); m: a stage or a count
//   B  block length (BFDAF, PBFDAF); b: backward errors (lattices)
//   L  taps per partition (BFDAF, PBFDAF) or taps (TDLMS); ring length
//      (dotInsertCircBufRev)
#ifndef QUOLM_KERNELS32F_H
#define QUOLM_KERNELS32F_H

#include <float.h>

#include "quolmdefs.h"
#include "ring32f.h"

// Every operation rounds to its own type. The x87 unit keeps intermediates in
// 80 bits and rounds them when it spills, so its results differ; 32-bit x86
// builds use SSE2 instead (-msse2 -mfpmath=sse, set by the build).
static_assert(FLT_EVAL_METHOD == 0,
              "evaluate in the operand type (32-bit x86: -msse2 -mfpmath=sse)");

// GCC 12's SLP vectoriser drops the rounding of a value stored as DT32F and
// widened again when it packs independent chains of such values into one
// vector (seen with partial sums rounded at every step), which changes the
// single build's results. Functions that run such chains side by side carry
// this mark, which also keeps them out of line: no caller takes their loops
// in, so callers need no mark and keep the vectoriser for their own code.
#if defined(__GNUC__) && !defined(__clang__)
#define QUOLM_KEEP_STORED_ROUNDING \
  __attribute__((optimize("no-tree-slp-vectorize"), noinline))
#else
#define QUOLM_KEEP_STORED_ROUNDING
#endif

// GCC's out-of-SSA pass folds a value used once into the expression that uses
// it (temporary expression replacement), which rebuilds each chain of rounded
// partial sums as one expression and emits the chains one after the other,
// however the source interleaves them. Functions that interleave
// independent chains to hide their latency carry this mark, which keeps the
// source's order.
#if defined(__GNUC__) && !defined(__clang__)
#define QUOLM_KEEP_STATEMENT_ORDER __attribute__((optimize("no-tree-ter")))
#else
#define QUOLM_KEEP_STATEMENT_ORDER
#endif

// The run-time dispatch marks, for hot functions with internal linkage.
// QUOLM_WIDE_CLONES builds one also for AVX2; QUOLM_WIDER_CLONES also for
// AVX-512 (x86-64-v4), for the kernels measured faster there (the
// transversal and RLS kernels; not the transform, whose single-build clone
// for x86-64-v4 ran 5-10% slower). The clone the CPU can run is picked at
// run time. Nothing is fused in any of them (-ffp-contract=off), so all
// round every value alike and give the same results. QUOLM_NO_AVX512_CLONES
// (the CMake option QUOLM_AVX512_CLONES=OFF) leaves the AVX-512 builds out,
// so that a machine with AVX-512 can run and check the AVX2 builds.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUOLM_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#ifdef QUOLM_NO_AVX512_CLONES
#define QUOLM_WIDER_CLONES QUOLM_WIDE_CLONES
#else
#define QUOLM_WIDER_CLONES \
  __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#endif
#else
#define QUOLM_WIDE_CLONES
#define QUOLM_WIDER_CLONES
#endif

// Some wide kernels run best at a width that differs by target: 8 Acc lanes
// use the 32 vector registers of AVX-512, but spill from the 16 of AVX2,
// where 4 lanes run faster (the RLS triangle, 4 times as fast). For them,
// QUOLM_WIDE_BY_LANES(decl, body, args) defines the function declared by
// `decl` for the targets of QUOLM_WIDER_CLONES, picked at run time in the
// same way (GCC's function multiversioning), each calling body<8> args
// (AVX-512) or body<4> args (AVX2, the baseline, other compilers).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#ifdef QUOLM_NO_AVX512_CLONES
#define QUOLM_WIDE_LANES_V4(decl, body, args)
#else
#define QUOLM_WIDE_LANES_V4(decl, body, args) \
  __attribute__((target("arch=x86-64-v4"))) decl { body<8> args; }
#endif
#define QUOLM_WIDE_BY_LANES(decl, body, args)            \
  QUOLM_WIDE_LANES_V4(decl, body, args)                  \
  __attribute__((target("avx2"))) decl { body<4> args; } \
  __attribute__((target("default"))) decl { body<4> args; }
#else
#define QUOLM_WIDE_BY_LANES(decl, body, args) \
  decl { body<4> args; }
#endif

// y[i] = x[i] + y[i]; -1 when a pointer is null.
extern "C" DT32S addIp32f(const DT32F *x, DT32F *y, DT32S N);

namespace quolm32f {

typedef double Acc;  // accumulator of every dot product and step value

// sum_k coefs[k] * ring[(p + k) mod ringLength] for k < n, reading the ring
// from slot p upwards in two contiguous runs; nothing is written. n must not
// exceed ringLength.
inline Acc dotCircBuf(const DT32F *ring, DT32S ringLength, DT32S p,
                      const DT32F *coefs, DT32S n) {
  const DT32S m = ringLength - p < n ? ringLength - p : n;
  Acc acc = 0.0;
  const DT32F *run = ring + p;
  for (DT32S k = 0; k < m; ++k) acc += Acc(run[k]) * Acc(coefs[k]);
  for (DT32S j = 0; j < n - m; ++j) acc += Acc(ring[j]) * Acc(coefs[m + j]);
  return acc;
}

// Stores x at slot p of the ring and returns dotCircBuf from p: the wide form
// (transversalwide32f.cpp), the same value bit for bit, also built for AVX2
// and AVX-512.
Acc dotInsertWide(DT32F x, DT32F *ring, DT32S ringLength, DT32S p,
                  const DT32F *coefs, DT32S n);

// Filters with fewer taps run the scalar loops inline: the calls into the
// wide forms cost them more than the width saves (7% at 16 taps, single build).
constexpr DT32S kWideTaps = 17;

// Stores x at slot *index of the ring, returns sum_k coefs[k] * ring[(p+k) mod
// delayLength] for k < coefCount (p the slot on entry) in two contiguous runs,
// and steps *index down with wrap. coefCount must not exceed delayLength.
inline Acc dotInsertCircBuf(DT32F x, DT32F *delayLine, const DT32F *coefs,
                            DT32S delayLength, DT32S coefCount, DT32S *index) {
  const DT32S p = *index;
  Acc acc;
  if (coefCount < kWideTaps) {
    delayLine[p] = x;
    acc = dotCircBuf(delayLine, delayLength, p, coefs, coefCount);
  } else {
    acc = dotInsertWide(x, delayLine, delayLength, p, coefs, coefCount);
  }
  *index = ringDown(p, delayLength);
  return acc;
}

// Stores v at the ring's write slot, returns sum_j ring[(p + j) mod L] *
// q[L-1-j] (p the write slot: the newest value meets the last coefficient),
// walked in two contiguous runs of the ring, and steps the index down.
inline Acc dotInsertCircBufRev(DT32F v, DT32F *ring, const DT32F *q, DT32S L,
                               DT32S *index) {
  const DT32S p = *index;
  ring[p] = v;
  Acc acc = 0.0;
  for (DT32S j = 0; j < L - p; ++j) acc += Acc(ring[p + j]) * Acc(q[L - 1 - j]);
  for (DT32S j = 0; j < p; ++j) acc += Acc(ring[j]) * Acc(q[p - 1 - j]);
  *index = ringDown(p, L);
  return acc;
}

// sum_k a[k] * b[k] for k < N, in index order; 0 for N < 1.
inline Acc dotLinBuf(const DT32F *a, const DT32F *b, DT32S N) {
  Acc acc = 0.0;
  for (DT32S k = 0; k < N; ++k) acc += Acc(a[k]) * Acc(b[k]);
  return acc;
}

// Plain vector copy of n values (none for n < 1).
inline void copyVector(const DT32F *src, DT32F *dst, DT32S n) {
  for (DT32S i = 0; i < n; ++i) dst[i] = src[i];
}

// The coefficient laws of the gradient families: the regressor enters as is
// or by its sign (zero counts as positive).
enum class Regressor { Value, Sign };

inline DT32F signOf(Acc v) { return v >= 0 ? DT32F(1) : DT32F(-1); }

// w[k] += g * u[k] (or sign(u[k]) * g) for k < n; rounds each result once.
template <Regressor R>
inline void addScaled(DT32F *w, const DT32F *u, DT32F g, DT32S n) {
  for (DT32S k = 0; k < n; ++k) {
    const Acc r = R == Regressor::Sign ? Acc(signOf(u[k])) : Acc(u[k]);
    w[k] = DT32F(Acc(w[k]) + Acc(g) * r);
  }
}

// The same update in its wide form (transversalwide32f.cpp), with the
// regressor read from a ring, starting at slot p (the newest sample) and
// wrapping at ringLength, in two contiguous runs: the values of addScaled bit
// for bit, also built for AVX2 and AVX-512.
void addScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength, DT32S p,
                       DT32F g, DT32S n);
void addSignScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength,
                           DT32S p, DT32F g, DT32S n);

// addScaled with the regressor read from the ring as above, in the scalar loop.
template <Regressor R>
inline void addScaledCircPlain(DT32F *w, const DT32F *ring, DT32S ringLength,
                               DT32S p, DT32F g, DT32S n) {
  const DT32S m = ringLength - p < n ? ringLength - p : n;
  addScaled<R>(w, ring + p, g, m);
  addScaled<R>(w + m, ring, g, n - m);
}

template <Regressor R = Regressor::Value>
inline void addScaledCirc(DT32F *w, const DT32F *ring, DT32S ringLength,
                          DT32S p, DT32F g, DT32S n) {
  if (n < kWideTaps) {
    addScaledCircPlain<R>(w, ring, ringLength, p, g, n);
  } else if constexpr (R == Regressor::Sign) {
    addSignScaledCircWide(w, ring, ringLength, p, g, n);
  } else {
    addScaledCircWide(w, ring, ringLength, p, g, n);
  }
}

// One adaptation step in one call: stores x at slot p, forms y as
// dotInsertWide does and adds g * u (or g * sign(u)) to the coefficients as
// addScaledCircWide does, with the step g = rule(y) (a DT32F from an Acc):
// the values of the two calls in turn, bit for bit, with one dispatch and
// nothing between the sum and the update. transversalwide32f.cpp
// instantiates it for the rules of lmsstep32f.h.
template <Regressor R, class Rule>
Acc adaptWide(DT32F x, DT32F *ring, DT32S ringLength, DT32S p, DT32F *coefs,
              DT32S n, Rule rule);

// dotInsertCircBuf, then the update of addScaledCirc by rule(y) from the slot
// x went to; returns y.
template <Regressor R, class Rule>
inline Acc dotInsertAdaptCirc(DT32F x, DT32F *delayLine, DT32F *coefs,
                              DT32S delayLength, DT32S coefCount,
                              DT32S *index, Rule rule) {
  const DT32S p = *index;
  Acc y;
  if (coefCount < kWideTaps) {
    delayLine[p] = x;
    y = dotCircBuf(delayLine, delayLength, p, coefs, coefCount);
    addScaledCircPlain<R>(coefs, delayLine, delayLength, p, rule(y),
                          coefCount);
  } else {
    y = adaptWide<R>(x, delayLine, delayLength, p, coefs, coefCount, rule);
  }
  *index = ringDown(p, delayLength);
  return y;
}

// G outputs of a fixed filter at once, for the G inputs x[0..G-1] that follow
// the ring's contents (p is the slot the first of them would overwrite). Output
// j sums coefs[k] * (sample k steps before input j) over k in index order, so
// each equals the per-sample result exactly; G independent sums run side by
// side. Needs N >= G; the ring itself is not written.
template <int G>
inline void dotGroupCirc(const DT32F *ring, const DT32F *coefs, DT32S N,
                         DT32S p, const DT32F *x, Acc *acc) {
  for (int j = 0; j < G; ++j) acc[j] = 0.0;
  auto mixed = [&](DT32S k) {  // inputs of the group and wrapping slots
    const Acc c = coefs[k];
    for (int j = 0; j < G; ++j) {
      DT32S s = p + k - j;
      if (s >= N) s -= N;
      acc[j] += (k <= j ? Acc(x[j - k]) : Acc(ring[s])) * c;
    }
  };
  auto run = [&](DT32S k, const DT32F *r) {  // G ring slots below r, no wrap
    const Acc c = coefs[k];
    for (int j = 0; j < G; ++j) acc[j] += Acc(r[-j]) * c;
  };
  DT32S k = 0;
  for (; k < G; ++k) mixed(k);
  const DT32S noWrapEnd = N - p;  // slots p + k stay below N
  for (; k < noWrapEnd; ++k) run(k, ring + p + k);
  const DT32S allWrapStart = N - p + G - 1 < N ? N - p + G - 1 : N;
  for (; k < allWrapStart; ++k) mixed(k);
  for (; k < N; ++k) run(k, ring + p + k - N);
}

}  // namespace quolm32f

#endif
