// SPDX-License-Identifier: MIT
// The wide forms of the transversal kernels: the dot product over a ring and
// the coefficient update after it, also built for AVX2 (QUOLM_WIDE_CLONES).
// Each lane runs the scalar loop's arithmetic on its own element, and the dot
// product keeps its one accumulator in index order, so both give the values
// of dotCircBuf and addScaled bit for bit.
#include "wide4_32f.h"

namespace quolm32f {

namespace {

using namespace wide4;

// acc + sum_k a[k] * b[k] for k < n, added in index order. The sum is a chain
// of dependent additions, one per element whatever the width. Widening and
// multiplying four elements to a vector takes a quarter of the conversion
// slots of the scalar loop (whose two widenings per element kept those ports
// as busy as the chain in the single build) and leaves them to the update.
WIDE_INLINE Acc dotRun(Acc acc, const DT32F *a, const DT32F *b, DT32S n) {
  DT32S k = 0;
  for (; k + 4 <= n; k += 4) {
    const Acc4 p = widen(load4(a + k)) * widen(load4(b + k));
    acc += p[0];
    acc += p[1];
    acc += p[2];
    acc += p[3];
  }
  for (; k < n; ++k) acc += Acc(a[k]) * Acc(b[k]);
  return acc;
}

// addScaled<R> four elements to a vector: the product g * r, the sum in Acc
// and one rounding per element, as in the scalar loop, which takes the tail.
// The sign law's product g * (+-1) is exact, so it is a choice of +-g. Four
// lanes fill one AVX2 register of Acc; the three conversions of a group bound
// the loop, so unrolling it further gained nothing.
template <Regressor R>
WIDE_INLINE void addScaledRun(DT32F *w, const DT32F *u, DT32F g, DT32S n) {
  const Acc4 g4 = splat(g);
  DT32S k = 0;
  for (; k + 4 <= n; k += 4) {
    const Acc4 uk = widen(load4(u + k));
    const Acc4 step = R == Regressor::Sign ? (uk >= 0 ? g4 : -g4) : g4 * uk;
    store4(w + k, widen(load4(w + k)) + step);
  }
  addScaled<R>(w + k, u + k, g, n - k);
}

template <Regressor R>
WIDE_INLINE void addScaledCircRuns(DT32F *w, const DT32F *ring,
                                   DT32S ringLength, DT32S p, DT32F g,
                                   DT32S n) {
  const DT32S m = ringLength - p < n ? ringLength - p : n;
  addScaledRun<R>(w, ring + p, g, m);
  addScaledRun<R>(w + m, ring, g, n - m);
}

// Stores x at slot p and sums from there. The first product takes x from its
// register: a vector load over the slot just stored cannot be served from the
// store and waits for it to complete (about a fifth of the sum's time at
// N = 256).
QUOLM_WIDE_CLONES Acc dotInsertClones(DT32F x, DT32F *ring, DT32S ringLength,
                                      DT32S p, const DT32F *coefs, DT32S n) {
  ring[p] = x;
  if (n < 1) return 0.0;
  Acc acc = 0.0;
  acc += Acc(x) * Acc(coefs[0]);
  const DT32S q = ringUp(p, ringLength);
  const DT32S m = ringLength - q < n - 1 ? ringLength - q : n - 1;
  acc = dotRun(acc, ring + q, coefs + 1, m);
  return dotRun(acc, ring, coefs + 1 + m, n - 1 - m);
}

QUOLM_WIDE_CLONES void addScaledCircClones(DT32F *w, const DT32F *ring,
                                           DT32S ringLength, DT32S p, DT32F g,
                                           DT32S n) {
  addScaledCircRuns<Regressor::Value>(w, ring, ringLength, p, g, n);
}

QUOLM_WIDE_CLONES void addSignScaledCircClones(DT32F *w, const DT32F *ring,
                                               DT32S ringLength, DT32S p,
                                               DT32F g, DT32S n) {
  addScaledCircRuns<Regressor::Sign>(w, ring, ringLength, p, g, n);
}

}  // namespace

Acc dotInsertWide(DT32F x, DT32F *ring, DT32S ringLength, DT32S p,
                  const DT32F *coefs, DT32S n) {
  return dotInsertClones(x, ring, ringLength, p, coefs, n);
}

void addScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength, DT32S p,
                       DT32F g, DT32S n) {
  addScaledCircClones(w, ring, ringLength, p, g, n);
}

void addSignScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength,
                           DT32S p, DT32F g, DT32S n) {
  addSignScaledCircClones(w, ring, ringLength, p, g, n);
}

}  // namespace quolm32f
