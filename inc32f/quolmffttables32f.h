/* SPDX-License-Identifier: MIT */
/** @file
    quolm: builds the FFT table set that the frequency-domain filters (BFDAF,
   PBFDAF, TDLMS) take at Init (DT32F build). Header only: nothing here is
   exported by the library, which itself never evaluates a trigonometric
   function. A set built for N serves every transform of N or fewer values.

   Array sizes for a set built for N (a power of two, N >= 2):
     fftWork: 2 + quolmFftWorkLen32f(N) integers (2 + N/2 always suffices);
     fftTable: N/2 values (at least 1).
   fftWork[0] and fftWork[1] receive the twiddle and cosine counts (N/4 each);
   the rest of fftWork is the transform's work area, which any transform may
   write, so filters sharing one set must not run at the same time. */
#ifndef QUOLMFFTTABLES32F_H
#define QUOLMFFTTABLES32F_H

#include <math.h>

#include "quolmbuild32f.h"

/** Entries of the work area of a set for N: the smallest power of two W with
    8*W*W >= N (1 for N <= 8, 2 for N = 16 or 32, 4 for N = 64 or 128, ...).
    @param N the largest transform size the set serves
    @return W; fftWork needs 2 + W entries */
static inline DT32S quolmFftWorkLen32f(DT32S N) {
  DT32S w = 1;
  while (8 * (DT64S)w * w < N) w *= 2;
  return w;
}

/** Exchanges the complex pairs of a[0 .. N-1] (N/2 pairs) in bit-reversed
    order of their pair index, building the permutation in work. The table
    builder and the library's transform share it; callers need not call it.
    @param N number of values in a, a power of two
    @param work quolmFftWorkLen32f(N) entries, overwritten
    @param a the N values, permuted in place */
static inline void quolmFftBitReverse32f(DT32S N, DT32S *work, DT32F *a) {
  DT32S l = N, m = 1, m2, j, k, j1, k1;
  DT32F t;
  /* Exchange of the pairs at value indices p and q. */
#define QUOLM_SWAP_PAIR32F(p, q)                                              \
  t = a[p], a[p] = a[q], a[q] = t;                                            \
  t = a[(p) + 1], a[(p) + 1] = a[(q) + 1], a[(q) + 1] = t
  work[0] = 0;
  while (8 * m < l) {
    l /= 2;
    for (j = 0; j < m; j++) work[m + j] = work[j] + l;
    m *= 2;
  }
  m2 = 2 * m;
  if (8 * m == l) {
    for (k = 0; k < m; k++) {
      for (j = 0; j < k; j++) {
        j1 = 2 * j + work[k];
        k1 = 2 * k + work[j];
        QUOLM_SWAP_PAIR32F(j1, k1);
        QUOLM_SWAP_PAIR32F(j1 + m2, k1 + 2 * m2);
        QUOLM_SWAP_PAIR32F(j1 + 2 * m2, k1 + m2);
        QUOLM_SWAP_PAIR32F(j1 + 3 * m2, k1 + 3 * m2);
      }
      j1 = 2 * k + m2 + work[k];
      QUOLM_SWAP_PAIR32F(j1, j1 + m2);
    }
  } else {
    for (k = 1; k < m; k++) {
      for (j = 0; j < k; j++) {
        j1 = 2 * j + work[k];
        k1 = 2 * k + work[j];
        QUOLM_SWAP_PAIR32F(j1, k1);
        QUOLM_SWAP_PAIR32F(j1 + m2, k1 + m2);
      }
    }
  }
#undef QUOLM_SWAP_PAIR32F
}

/** Fills fftWork and fftTable for transforms of up to N values. Computes
    the tables with cos and sin in the caller's code (link with -lm); build
    once, then hand the set to any number of filters.
    @param N the largest transform size, a power of two, 2 .. 2^30
    @param fftWork 2 + quolmFftWorkLen32f(N) entries
    @param fftTable N/2 values (at least 1)
    @return 0; -1 when an array is null; -2 when N is not a power of two in
      2 .. 2^30 */
static inline DT32S quolmFftTables32f(DT32S N, DT32S *fftWork,
                                      DT32F *fftTable) {
  const double quarterPi = 0.78539816339744830962;
  DT32S nw, nc, h, j;
  DT32F *w, *cs;
  double delta;
  if (!fftWork || !fftTable) return -1;
  if (N < 2 || N > (1 << 30) || (N & (N - 1)) != 0) return -2;
  nw = N / 4;
  nc = N / 4;
  fftWork[0] = nw;
  fftWork[1] = nc;
  w = fftTable;
  cs = fftTable + nw;
  if (nw > 2) { /* twiddles of the radix-4 stages, bit-reversed */
    h = nw / 2;
    delta = quarterPi / h;
    w[0] = 1;
    w[1] = 0;
    w[h] = (DT32F)cos(delta * h);
    w[h + 1] = w[h];
    for (j = 2; j < h; j += 2) {
      const DT32F c = (DT32F)cos(delta * j), s = (DT32F)sin(delta * j);
      w[j] = c;
      w[j + 1] = s;
      w[nw - j] = s;
      w[nw - j + 1] = c;
    }
    if (h > 2) quolmFftBitReverse32f(nw, fftWork + 2, w);
  }
  if (nc > 1) { /* cosines of the real split and join steps */
    h = nc / 2;
    delta = quarterPi / h;
    cs[0] = (DT32F)cos(delta * h);
    cs[h] = (DT32F)0.5 * cs[0];
    for (j = 1; j < h; j++) {
      cs[j] = (DT32F)(0.5 * cos(delta * j));
      cs[nc - j] = (DT32F)(0.5 * sin(delta * j));
    }
  }
  /* The work area starts clear (the transform rebuilds it every time). */
  for (j = quolmFftWorkLen32f(N) - 1; j >= 0; j--) fftWork[2 + j] = 0;
  return 0;
}

#endif
