// SPDX-License-Identifier: MIT
// The packed-triangle kernels of the RLS family, each as a plain scalar loop
// (the reference) and a wide form that gives the same values bit for bit.
#include "rlstriangle32f.h"

#include <string.h>

#include "widelanes32f.h"

namespace quolm32f::rlstriangle {

namespace {

using namespace widelanes;

// One stored partial sum of g: in the single build every addition of P*x is
// rounded to the sample type, because each partial sum lives in g[i].
inline DT32F addProduct(DT32F sum, DT32F p, Acc x) {
  return DT32F(Acc(sum) + Acc(p) * x);
}

// Row r of g = P*x, starting at offset `start` of the packed triangle: its
// stored part (j <= r), then its elements left of the diagonal, which are
// the elements above the diagonal of the earlier rows, added to their g.
QUOLM_KEEP_STORED_ROUNDING void rowOne(const DT32F *__restrict P, size_t start,
                                       DT32S r, const DT32F *__restrict x,
                                       DT32F *__restrict g) {
  const DT32F *row = P + start;
  DT32F sum = DT32F(0);
  for (DT32S j = 0; j <= r; ++j) sum = addProduct(sum, row[j], x[j]);
  const Acc xr = x[r];
  for (DT32S i = 0; i < r; ++i) g[i] = addProduct(g[i], row[i], xr);
  g[r] = sum;
}

// P(i, j) = P(i, j)/lambda - k_i*g[j] for j = from..to of row i; only the
// old element is scaled by 1/lambda.
inline void updateRow(DT32F *row, const DT32F *g, DT32S from, DT32S to, Acc k,
                      Acc invLambda) {
  for (DT32S j = from; j <= to; ++j)
    row[j] = DT32F(invLambda * Acc(row[j]) - k * Acc(g[j]));
}

// Row i, starting at `row`: k_i = g[i]/q, w[i] += k_i*e (when w is given)
// and P(i, j) for j <= i.
inline void updateOne(DT32F *row, const DT32F *g, DT32F *w, DT32S i, Acc q,
                      Acc invLambda, Acc e) {
  const Acc k = Acc(g[i]) / q;
  if (w) w[i] = DT32F(Acc(w[i]) + k * e);
  updateRow(row, g, 0, i, k, invLambda);
}

// Columns of the W x W tile whose rows are t[0..W-1].
WIDE_INLINE void transpose(AccV<4> (&t)[4]) {
  const AccV<4> a0 = __builtin_shufflevector(t[0], t[1], 0, 4, 2, 6);
  const AccV<4> a1 = __builtin_shufflevector(t[0], t[1], 1, 5, 3, 7);
  const AccV<4> a2 = __builtin_shufflevector(t[2], t[3], 0, 4, 2, 6);
  const AccV<4> a3 = __builtin_shufflevector(t[2], t[3], 1, 5, 3, 7);
  t[0] = __builtin_shufflevector(a0, a2, 0, 1, 4, 5);
  t[1] = __builtin_shufflevector(a1, a3, 0, 1, 4, 5);
  t[2] = __builtin_shufflevector(a0, a2, 2, 3, 6, 7);
  t[3] = __builtin_shufflevector(a1, a3, 2, 3, 6, 7);
}

// Three rounds of pairing: lanes (within each pair of lanes), then pairs
// of lanes, then pairs of pairs, the last two moving whole pairs of lanes
// (one shuffle with an immediate under AVX-512, no index vector to load and
// copy).
WIDE_INLINE void transpose(AccV<8> (&t)[8]) {
  AccV<8> a[8], b[8];
#pragma GCC unroll 4
  for (int p = 0; p < 8; p += 2) {
    a[p] = __builtin_shufflevector(t[p], t[p + 1], 0, 8, 2, 10, 4, 12, 6, 14);
    a[p + 1] =
        __builtin_shufflevector(t[p], t[p + 1], 1, 9, 3, 11, 5, 13, 7, 15);
  }
  // b[4h + 2s + e]: pairs 2s, 2s+1 of a[4h + e] and of a[4h + 2 + e].
#pragma GCC unroll 2
  for (int h = 0; h < 8; h += 4)
#pragma GCC unroll 2
    for (int e = 0; e < 2; ++e) {
      b[h + e] = __builtin_shufflevector(a[h + e], a[h + 2 + e], 0, 1, 2, 3, 8,
                                         9, 10, 11);
      b[h + 2 + e] = __builtin_shufflevector(a[h + e], a[h + 2 + e], 4, 5, 6,
                                             7, 12, 13, 14, 15);
    }
  // Column 4s + 2q + e: pair q of b[2s + e] twice, then of b[4 + 2s + e].
#pragma GCC unroll 2
  for (int s = 0; s < 2; ++s)
#pragma GCC unroll 2
    for (int e = 0; e < 2; ++e) {
      t[4 * s + e] = __builtin_shufflevector(b[2 * s + e], b[4 + 2 * s + e], 0,
                                             1, 4, 5, 8, 9, 12, 13);
      t[4 * s + 2 + e] = __builtin_shufflevector(
          b[2 * s + e], b[4 + 2 * s + e], 2, 3, 6, 7, 10, 11, 14, 15);
    }
}

// Row i of the packed triangle.
WIDE_INLINE const DT32F *rowAt(const DT32F *P, DT32S i) {
  return P + size_t(i) * (size_t(i) + 1) / 2;
}

// Row i + m of the packed triangle, from row i at `row`: no multiplication
// but by the constant m, once the loops over m are unrolled.
WIDE_INLINE const DT32F *rowBelow(const DT32F *row, DT32S i, int m) {
  return row + size_t(m) * size_t(i) + size_t(m) * size_t(m + 1) / 2;
}

// One step of a chain of W sums: sum + v, rounded as stored.
template <int W>
WIDE_INLINE SampleV<W> step(const SampleV<W> &sum, const AccV<W> &v) {
  return narrow<W>(widen<W>(sum) + v);
}

// Chains run side by side to hide the latency of a step. In the single
// build a step is a round trip through the sample type, which takes about
// 20 times as long as the ports spend on it: 8 chains keep them busy. In
// the double build it is one addition, and more chains only spill
// registers (2 against 8: 20% faster at n = 128 under AVX2).
constexpr bool kSingle = sizeof(DT32F) == sizeof(float);
constexpr int kChains = kSingle ? 8 : 2;

// The symmetric tile whose lower triangle (diagonal included) is that of
// tile (R, R): the elements above the diagonal, which the loads read from
// the next rows, are replaced by those below it.
template <int W>
WIDE_INLINE void symmetricTile(const DT32F *P, DT32S R, AccV<W> (&t)[W]) {
  AccV<W> u[W];
  const DT32F *row = rowAt(P, W * R) + W * R;
#pragma GCC unroll 8
  for (int m = 0; m < W; ++m)
    u[m] = t[m] = loadWide<W>(rowBelow(row, W * R, m));
  transpose(u);
  const auto lane = laneIndex<W>();
#pragma GCC unroll 8
  for (int m = 0; m < W; ++m) t[m] = lane > m ? u[m] : t[m];
}

// The chains g[W*(J+k)..] for k < K take the rows of tiles (R, J+k), row m
// times x[W*R+m] (xr[m]), in row order; with Diagonal, g[W*R..] takes the
// symmetric tile (R, R) too, whose rows are its columns. The chains go side
// by side, step by step: the core issues a chain's steps only as their
// operands arrive, so one chain after another would fill the scheduler
// with waiting steps.
template <int W, int K, bool Diagonal>
WIDE_INLINE void acrossTiles(const DT32F *P, const AccV<W> (&xr)[W],
                             DT32F *g, DT32S R, DT32S J) {
  SampleV<W> a[K + 1];
  AccV<W> d[W];
  if constexpr (Diagonal) {
    symmetricTile<W>(P, R, d);
    a[K] = loadSamples<W>(g + W * R);
  }
#pragma GCC unroll 8
  for (int k = 0; k < K; ++k) a[k] = loadSamples<W>(g + W * (J + k));
  const DT32F *first = rowAt(P, W * R) + W * J;
#pragma GCC unroll 8
  for (int m = 0; m < W; ++m) {
    const DT32F *row = rowBelow(first, W * R, m);
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k)
      a[k] = step<W>(a[k], loadWide<W>(row + W * k) * xr[m]);
    if constexpr (Diagonal) a[K] = step<W>(a[K], d[m] * xr[m]);
  }
#pragma GCC unroll 8
  for (int k = 0; k < K; ++k) storeSamples<W>(g + W * (J + k), a[k]);
  if constexpr (Diagonal) storeSamples<W>(g + W * R, a[K]);
}

// The chains g[W*(R+k)..] for k < K take the columns of tiles (R+k, J),
// column m times x[W*J+m] (lane m of xs), in column order, side by side.
template <int W, int K>
WIDE_INLINE void downTiles(const DT32F *P, const AccV<W> &xs, DT32F *g,
                           DT32S R, DT32S J) {
  AccV<W> t[K][W];
  SampleV<W> b[K];
#pragma GCC unroll 8
  for (int k = 0; k < K; ++k) {
    const DT32F *row = rowAt(P, W * (R + k)) + W * J;
#pragma GCC unroll 8
    for (int m = 0; m < W; ++m)
      t[k][m] = loadWide<W>(rowBelow(row, W * (R + k), m)) * xs;
    transpose(t[k]);
    b[k] = loadSamples<W>(g + W * (R + k));
  }
#pragma GCC unroll 8
  for (int m = 0; m < W; ++m)
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) b[k] = step<W>(b[k], t[k][m]);
#pragma GCC unroll 8
  for (int k = 0; k < K; ++k) storeSamples<W>(g + W * (R + k), b[k]);
}

// The tiles (R, J..R-1), at most L of them, and the diagonal tile (R, R)
// as one run.
template <int W, int L>
WIDE_INLINE void lastTiles(const DT32F *P, const AccV<W> (&xr)[W], DT32F *g,
                           DT32S R, DT32S J) {
  if constexpr (L > 0)
    if (R - J < L) return lastTiles<W, L - 1>(P, xr, g, R, J);
  acrossTiles<W, L, true>(P, xr, g, R, J);
}

// acrossTiles for the tiles (R, 0..R-1) and (R, R), K chains at a time.
template <int W, int K>
WIDE_INLINE void rowBlock(const DT32F *P, const AccV<W> (&xr)[W], DT32F *g,
                          DT32S R) {
  DT32S J = 0;
  for (; J + K <= R; J += K) acrossTiles<W, K, false>(P, xr, g, R, J);
  lastTiles<W, K - 1>(P, xr, g, R, J);
}

// downTiles for the tiles (R..end-1, J), K at a time, then at most one run
// of each smaller count.
template <int W, int K>
WIDE_INLINE void downRun(const DT32F *P, const AccV<W> &xs, DT32F *g, DT32S R,
                         DT32S J, DT32S end) {
  for (; R + K <= end; R += K) downTiles<W, K>(P, xs, g, R, J);
  if constexpr (K > 1) downRun<W, K - 1>(P, xs, g, R, J, end);
}

// x[W*t+m] in every lane of xr[m], and x[W*t..W*t+W-1] as returned.
template <int W>
WIDE_INLINE AccV<W> blockOfX(const DT32F *x, DT32S t, AccV<W> (&xr)[W]) {
  const AccV<W> xs = loadWide<W>(x + W * t);
#pragma GCC unroll 8
  for (int m = 0; m < W; ++m) xr[m] = splat<W>(xs[m]);
  return xs;
}

// Rows 0..W*blocks-1 of g = P*x in the order of rowOne. As W x W tiles,
// g[W*c..] takes tile (c, t) at step t < c (its rows' sums, from the
// columns of the tile), tile (c, c), then tile (t, c) at step t > c (the
// elements above the diagonal, from the rows of the tile). So at step t
// every chain takes one tile: row block t serves the chains left of it,
// column block t those below it, and the blocks' chains are independent.
// Each tile is widened twice, once per chain it serves, which costs less
// than the wait on the latency of a schedule that widens it once (both of
// its chains at one step, which makes tile (c, t) wait on tiles (c, t-1)
// and (c-1, t): 2.3 us against 2.2 at n = 128). In the single build every
// step of every chain costs a rounding and a widening, which share the
// ports with the addition, and those conversions bound the speed: under
// AVX-512 a tile's row half takes about 5.5 ns (its 8 steps alone 4), its
// column half, with the transpose, about 8.5.
template <int W>
WIDE_INLINE void tileSteps(const DT32F *P, const DT32F *x, DT32F *g,
                           DT32S blocks) {
  // The row halves keep no products, only their chains: in the single build
  // twice as many fit the 32 registers of AVX-512 and hide more of the
  // round trips (3% faster at n = 128).
  constexpr int rowChains = kSingle && W == 8 ? 2 * kChains : kChains;
  for (DT32S i = 0; i < W * blocks; ++i) g[i] = DT32F(0);
  for (DT32S t = 0; t < blocks; ++t) {
    AccV<W> xr[W];
    const AccV<W> xs = blockOfX<W>(x, t, xr);
    rowBlock<W, rowChains>(P, xr, g, t);
    downRun<W, kChains>(P, xs, g, t + 1, t, blocks);
  }
}

// Rows W*R..W*R+W-1 of g = P*x after the rows above them: their sums take
// the tiles left of the diagonal in column order, one chain, so this runs
// at its latency; the earlier g take the rows of those tiles.
template <int W>
WIDE_INLINE void rowBand(const DT32F *P, const DT32F *x, DT32F *g, DT32S R) {
  for (int m = 0; m < W; ++m) g[W * R + m] = DT32F(0);
  AccV<W> xr[W];
  blockOfX<W>(x, R, xr);
  for (DT32S J = 0; J < R; ++J)
    downTiles<W, 1>(P, loadWide<W>(x + W * J), g, R, J);
  rowBlock<W, kChains>(P, xr, g, R);
}

// g = P*x for the packed lower triangle P of an n x n matrix. g[i] sums
// P(i, j) * x[j] over j = 0..n-1 in increasing j: first its stored row
// (j <= i), then the elements above the diagonal, read as column i of the
// rows j > i. Blocks of W rows, then one band of 4 (when W is 8), run wide;
// the last rows one by one. No stored-rounding mark here: the wide lanes
// round by explicit conversion, rowOne carries its own, and the mark would
// halve the speed of the tiles.
template <int W>
WIDE_INLINE void timesVectorLanes(const DT32F *P, const DT32F *x, DT32F *g,
                                  DT32S n) {
  tileSteps<W>(P, x, g, n / W);
  DT32S r = n / W * W;
  if (W > 4 && r + 4 <= n) {
    rowBand<4>(P, x, g, r / 4);
    r += 4;
  }
  for (; r < n; ++r) rowOne(P, size_t(rowAt(P, r) - P), r, x, g);
}

QUOLM_WIDE_BY_LANES(QUOLM_KEEP_STATEMENT_ORDER void timesVectorWide(
                        const DT32F *P, const DT32F *x, DT32F *g, DT32S n),
                    timesVectorLanes, (P, x, g, n))

// The update of updateScalar with W rows at a time, from row i on while W
// rows are left: one division gives their W k, and they share each widened
// run of g. Row i+t of their corner (columns i..i+t) goes first, W wide: its
// run reaches into the next row, whose lanes are dropped, and only t+1 lanes
// are stored (before the runs below rewrite that row, so no load waits on a
// store). The arithmetic of every element is that of updateRow.
template <int W>
WIDE_INLINE void updateGroups(DT32F *P, const DT32F *g, DT32F *w, DT32S n,
                              Acc q, Acc invLambda, Acc e, size_t &start,
                              DT32S &i) {
  const AccV<W> invLambdaV = splat<W>(invLambda);
  for (; i + W <= n; i += W) {
    const AccV<W> gi = loadWide<W>(g + i), k = gi / q;
    if (w) storeSamples<W>(w + i, narrow<W>(loadWide<W>(w + i) + k * e));
    DT32F *row[W];
    AccV<W> kv[W];
#pragma GCC unroll 8
    for (int t = 0; t < W; ++t) {
      kv[t] = splat<W>(k[t]);
      row[t] = P + start;
      start += size_t(i + t) + 1;
    }
#pragma GCC unroll 8
    for (int t = 0; t < W; ++t)
      storeFirst<W>(row[t] + i,
                    invLambdaV * loadWide<W>(row[t] + i) - kv[t] * gi, t + 1);
    for (DT32S j = 0; j < i; j += W) {
      const AccV<W> gj = loadWide<W>(g + j);
#pragma GCC unroll 8
      for (int t = 0; t < W; ++t)
        storeSamples<W>(row[t] + j,
                        narrow<W>(invLambdaV * loadWide<W>(row[t] + j) -
                                  kv[t] * gj));
    }
  }
}

// Groups of V rows, then of 4 (when V is 8), then the last rows one by one.
// V is W in the single build, but 4 in the double build: there 8 lanes of
// samples take 64 bytes, and with rows at any alignment nearly every such
// load and store crosses a cache line (n = 32: 57 ns against 45).
template <int W>
WIDE_INLINE void updateLanes(DT32F *__restrict P, const DT32F *__restrict g,
                             DT32F *__restrict w, DT32S n, Acc q,
                             Acc invLambda, Acc e) {
  constexpr int V = kSingle ? W : 4;
  size_t start = 0;
  DT32S i = 0;
  updateGroups<V>(P, g, w, n, q, invLambda, e, start, i);
  if (V > 4) updateGroups<4>(P, g, w, n, q, invLambda, e, start, i);
  for (; i < n; ++i) {
    updateOne(P + start, g, w, i, q, invLambda, e);
    start += size_t(i) + 1;
  }
}

QUOLM_WIDE_BY_LANES(void updateWide(DT32F *__restrict P,
                                    const DT32F *__restrict g,
                                    DT32F *__restrict w, DT32S n, Acc q,
                                    Acc invLambda, Acc e),
                    updateLanes, (P, g, w, n, q, invLambda, e))

}  // namespace

void timesVectorScalar(const DT32F *P, const DT32F *x, DT32F *g, DT32S n) {
  size_t start = 0;
  for (DT32S r = 0; r < n; start += size_t(r) + 1, ++r)
    rowOne(P, start, r, x, g);
}

void timesVector(const DT32F *P, const DT32F *x, DT32F *g, DT32S n) {
  timesVectorWide(P, x, g, n);
}

void updateScalar(DT32F *P, const DT32F *g, DT32F *w, DT32S n, Acc q,
                  Acc invLambda, Acc e) {
  size_t start = 0;
  for (DT32S i = 0; i < n; start += size_t(i) + 1, ++i)
    updateOne(P + start, g, w, i, q, invLambda, e);
}

void update(DT32F *P, const DT32F *g, DT32F *w, DT32S n, Acc q, Acc invLambda,
            Acc e) {
  updateWide(P, g, w, n, q, invLambda, e);
}

}  // namespace quolm32f::rlstriangle
