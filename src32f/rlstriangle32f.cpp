// SPDX-License-Identifier: MIT
// The packed-triangle kernels of the RLS family, each as a plain scalar loop
// (the reference) and a wide form that gives the same values bit for bit.
#include "rlstriangle32f.h"

#include <string.h>

#include "wide4_32f.h"

namespace quolm32f::rlstriangle {

namespace {

using namespace wide4;

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

// sum + p*x with the sum rounded as stored, lane by lane.
WIDE_INLINE Acc4 addProducts(const Acc4 &sum, const Sample4 &p, Acc x) {
  return widen(__builtin_convertvector(sum + widen(p) * x, Sample4));
}

// sum + v with the sum rounded as stored, lane by lane.
WIDE_INLINE Acc4 addRounded(const Acc4 &sum, const Acc4 &v) {
  return widen(__builtin_convertvector(sum + v, Sample4));
}

// Columns of the 4 x 4 tile whose rows are t[0..3].
WIDE_INLINE void transpose4(Acc4 (&t)[4]) {
  const Acc4 a0 = __builtin_shufflevector(t[0], t[1], 0, 4, 2, 6);
  const Acc4 a1 = __builtin_shufflevector(t[0], t[1], 1, 5, 3, 7);
  const Acc4 a2 = __builtin_shufflevector(t[2], t[3], 0, 4, 2, 6);
  const Acc4 a3 = __builtin_shufflevector(t[2], t[3], 1, 5, 3, 7);
  t[0] = __builtin_shufflevector(a0, a2, 0, 1, 4, 5);
  t[1] = __builtin_shufflevector(a1, a3, 0, 1, 4, 5);
  t[2] = __builtin_shufflevector(a0, a2, 2, 3, 6, 7);
  t[3] = __builtin_shufflevector(a1, a3, 2, 3, 6, 7);
}

// The next four steps of the sums of rows row[0..4C-1], whose columns j..j+3
// are read as 4 x 4 tiles: each row is widened once, multiplied by
// x[j..j+3], and the products turned into columns.
template <int C>
WIDE_INLINE void tileSteps(const DT32F *const (&row)[4 * C], DT32S j,
                           const DT32F *x, Acc4 (&sum)[C]) {
  const Acc4 xj = widen(load4(x + j));
#pragma GCC unroll 8
  for (int c = 0; c < C; ++c) {
    Acc4 t[4];
#pragma GCC unroll 4
    for (int m = 0; m < 4; ++m) t[m] = widen(load4(row[4 * c + m] + j)) * xj;
    transpose4(t);
#pragma GCC unroll 4
    for (int m = 0; m < 4; ++m) sum[c] = addRounded(sum[c], t[m]);
  }
}

// g[i..i+3] through the four rows row[0..3] (elements above the diagonal of
// the rows of those g), in row order.
WIDE_INLINE void aboveSteps(const DT32F *const *row, const Acc *xr, DT32S i,
                            DT32F *g) {
  Acc4 v = widen(load4(g + i));
#pragma GCC unroll 4
  for (int m = 0; m < 4; ++m)
    v = addProducts(v, load4(row[m] + i), xr[m]);
  store4(g + i, v);
}

// The symmetric 4 x 4 tile whose lower triangle (diagonal included) is
// that of t[0..3]; the elements of t above the diagonal are not read.
WIDE_INLINE void symmetric4(Acc4 (&t)[4]) {
  Acc4 u[4] = {t[0], t[1], t[2], t[3]};
  transpose4(u);
  t[0] = u[0];
  t[1] = __builtin_shufflevector(t[1], u[1], 0, 1, 6, 7);
  t[2] = __builtin_shufflevector(t[2], u[2], 0, 1, 2, 7);
}

// The next four steps of the sums of the rows of a group, row[0..4C-1] at
// r..r+4C-1: columns r+4s..r+4s+3 of the group's square. Left of the
// diagonal they are a tile of rows turned into columns (as in tileSteps);
// on it, the tile made symmetric; right of it, the rows r+4s.. read from
// their columns r+4c.., which are the columns of the square.
template <int C>
WIDE_INLINE void squareSteps(const DT32F *const (&row)[4 * C], DT32S r, int s,
                             const DT32F *x, const Acc *xr, Acc4 (&sum)[C]) {
  const Acc4 xs = widen(load4(x + r + 4 * s));
#pragma GCC unroll 8
  for (int c = 0; c < C; ++c) {
    Acc4 t[4];
    if (s < c) {
#pragma GCC unroll 4
      for (int m = 0; m < 4; ++m)
        t[m] = widen(load4(row[4 * c + m] + r + 4 * s)) * xs;
      transpose4(t);
    } else {
      // Row 4s+m holds columns up to r+4s+m: on the diagonal the load of
      // four reaches into the next row, whose values symmetric4 drops.
#pragma GCC unroll 4
      for (int m = 0; m < 4; ++m)
        t[m] = widen(load4(row[4 * s + m] + r + 4 * c));
      if (s == c) symmetric4(t);
#pragma GCC unroll 4
      for (int m = 0; m < 4; ++m) t[m] = t[m] * xr[4 * s + m];
    }
#pragma GCC unroll 4
    for (int m = 0; m < 4; ++m) sum[c] = addRounded(sum[c], t[m]);
  }
}

// Rows r..r+4C-1 of g = P*x in the order of rowOne, four rows to a vector
// and C vectors side by side; r is a multiple of 4. Their sums take the
// columns left of the group (tileSteps), then the group's square
// (squareSteps); meanwhile the earlier g take the group's elements of their
// columns, four rows to a pass over g (aboveSteps). Every step of every
// chain costs a rounding and a widening, and those conversions, not the
// multiply-adds, bound the speed: so each loaded element of P is widened
// once per use, and the long chains of the sums ride along the passes,
// whose short chains do not depend on one another, rather than run alone.
// Groups of 16 rows keep the 4 sums, a tile and the pass in the 16 vector
// registers of AVX2.
template <int C>
WIDE_INLINE void rowGroupWide(const DT32F *P, size_t start, DT32S r,
                              const DT32F *x, DT32F *g) {
  constexpr int G = 4 * C;
  const DT32F *row[G];
  Acc xr[G];
  for (int k = 0; k < G; ++k) {
    row[k] = P + start;
    start += size_t(r + k) + 1;
    xr[k] = x[r + k];
  }
  Acc4 sum[C] = {};
  for (DT32S i = 0; i < r; i += 4) {
    aboveSteps(row, xr, i, g);
    tileSteps<C>(row, i, x, sum);
  }
  int s = 0;  // the next four columns of the square
  for (int c = 1; c < C; ++c)
    for (DT32S i = 0; i < r; i += 4) {
      aboveSteps(row + 4 * c, xr + 4 * c, i, g);
      if (s < C) squareSteps<C>(row, r, s++, x, xr, sum);
    }
  for (; s < C; ++s) squareSteps<C>(row, r, s, x, xr, sum);
#pragma GCC unroll 4
  for (int c = 0; c < C; ++c) store4(g + r + 4 * c, sum[c]);
}

// Runs rowGroupWide<C> over the rows from r on while 4C rows are left,
// advancing r and the row offset `start`.
template <int C>
WIDE_INLINE void wideGroups(const DT32F *P, size_t &start, DT32S &r,
                            const DT32F *x, DT32F *g, DT32S n) {
  for (; r + 4 * C <= n; r += 4 * C) {
    rowGroupWide<C>(P, start, r, x, g);
    start += size_t(4 * C) * size_t(r) + size_t(4 * C) * (4 * C + 1) / 2;
  }
}

// g = P*x for the packed lower triangle P of an n x n matrix. g[i] sums
// P(i, j) * x[j] over j = 0..n-1 in increasing j: first its stored row
// (j <= i), then the elements above the diagonal, read as column i of the
// rows j > i. Visiting the rows in order and letting each add its part left
// of the diagonal to the earlier g keeps exactly that order for every g[i].
// Groups of 16 rows, then of 4, run wide; the last rows one by one. No
// stored-rounding mark here: the wide lanes round by explicit conversion,
// rowOne carries its own, and the mark would halve the speed of the groups.
QUOLM_WIDE_CLONES void timesVectorWide(const DT32F *P, const DT32F *x, DT32F *g,
                                       DT32S n) {
  size_t start = 0;  // offset of row r
  DT32S r = 0;
  wideGroups<4>(P, start, r, x, g, n);
  wideGroups<1>(P, start, r, x, g, n);
  for (; r < n; ++r) {
    rowOne(P, start, r, x, g);
    start += size_t(r) + 1;
  }
}

// Stores the first `count` lanes of v rounded to the sample type.
WIDE_INLINE void storeFirst(DT32F *p, const Acc4 &v, int count) {
  const Sample4 s = __builtin_convertvector(v, Sample4);
  memcpy(p, &s, size_t(count) * sizeof(DT32F));
}

// The update of updateScalar with four rows at a time: one division gives
// their four k, and they share each widened run of g. Row i+t of their
// corner (columns i..i+t) goes first, four wide: its run reaches into the
// next row, whose lanes are dropped, and only t+1 lanes are stored (before
// the runs below rewrite that row, so no load waits on a store). The last
// rows go one by one. The arithmetic of every element is that of updateRow.
QUOLM_WIDE_CLONES void updateWide(DT32F *__restrict P,
                                  const DT32F *__restrict g,
                                  DT32F *__restrict w, DT32S n, Acc q,
                                  Acc invLambda, Acc e) {
  const Acc4 invLambda4 = splat(invLambda);
  size_t start = 0;
  DT32S i = 0;
  for (; i + 4 <= n; i += 4) {
    const Acc4 gi = widen(load4(g + i)), k = gi / q;
    if (w) store4(w + i, widen(load4(w + i)) + k * e);
    DT32F *row[4];
    Acc4 k4[4];
    for (int t = 0; t < 4; ++t) {
      k4[t] = splat(k[t]);
      row[t] = P + start;
      start += size_t(i + t) + 1;
    }
#pragma GCC unroll 4
    for (int t = 0; t < 4; ++t)
      storeFirst(row[t] + i, invLambda4 * widen(load4(row[t] + i)) - k4[t] * gi,
                 t + 1);
    for (DT32S j = 0; j < i; j += 4) {
      const Acc4 gj = widen(load4(g + j));
#pragma GCC unroll 4
      for (int t = 0; t < 4; ++t)
        store4(row[t] + j, invLambda4 * widen(load4(row[t] + j)) - k4[t] * gj);
    }
  }
  for (; i < n; ++i) {
    updateOne(P + start, g, w, i, q, invLambda, e);
    start += size_t(i) + 1;
  }
}

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
