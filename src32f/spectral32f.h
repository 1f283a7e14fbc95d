/* SPDX-License-Identifier: MIT */
// Element-wise and bin-wise routines of the frequency-domain filters. Spectra
// are packed as realFft32f leaves them: DC in [0], Nyquist in [1], bin k
// (1 <= k < bins - 1) as [2k] + i [2k+1]; the spectral routines take the bin
// count bins = N/2 + 1. Each returns -1 (writing nothing) when a pointer it
// needs is null, else 0. The loops are plain single passes so that they
// vectorise.
#ifndef QUOLM_SPECTRAL32F_H
#define QUOLM_SPECTRAL32F_H

#include "quolmdefs.h"

namespace quolm32f {

// a * b - c * d. With FMA enabled, GCC 12's vectoriser turns a pair of
// complex-product lanes "difference of products, sum of products" into a
// fused vfmaddsub (fcmla on Arm) even under -ffp-contract=off. A sum with the
// negated product is the same value (x - y is x + (-y) exactly), and that pair
// of sums it leaves unfused. Without FMA the plain difference stays: it
// vectorises better (the sum form costs up to a fifth of the FFT's time).
inline DT32F diffOfProducts(DT32F a, DT32F b, DT32F c, DT32F d) {
#if defined(__FMA__) || defined(__ARM_FEATURE_FMA)
  const DT32F nc = -c;
  return a * b + nc * d;
#else
  return a * b - c * d;
#endif
}

// out[i] = b[i] - a[i]; out may be a or b.
inline DT32S sub32f(const DT32F *a, const DT32F *b, DT32F *out, DT32S n) {
  if (!a || !b || !out) return -1;
  for (DT32S i = 0; i < n; ++i) out[i] = b[i] - a[i];
  return 0;
}

// x[i] *= s.
inline DT32S scale32f(DT32F s, DT32F *x, DT32S n) {
  if (!x) return -1;
  for (DT32S i = 0; i < n; ++i) x[i] = s * x[i];
  return 0;
}

// Both values of each of the first `pairs` pairs *= s.
inline DT32S scaleComplex32f(DT32F s, DT32F *x, DT32S pairs) {
  return x ? scale32f(s, x, pairs > 0 ? 2 * pairs : 0) : -1;
}

// p[i] = lambda * p[i] + gain * x[i] (the product lambda * p[i] first).
inline DT32S smoothPower32f(DT32F gain, const DT32F *x, DT32F lambda, DT32F *p,
                            DT32S n) {
  if (!x || !p) return -1;
  for (DT32S i = 0; i < n; ++i) p[i] = lambda * p[i] + gain * x[i];
  return 0;
}

// P[k] = |X bin k|^2, DC first and Nyquist last (P has `bins` values).
inline DT32S powerSpectrum32f(const DT32F *X, DT32F *P, DT32S bins) {
  if (!X || !P) return -1;
  if (bins < 1) return 0;
  P[0] = X[0] * X[0];
  for (DT32S k = 1; k < bins - 1; ++k)
    P[k] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
  if (bins > 1) P[bins - 1] = X[1] * X[1];
  return 0;
}

// Negates the imaginary parts of bins 1 .. bins-2 in place.
inline DT32S conjSpectrum32f(DT32F *X, DT32S bins) {
  if (!X) return -1;
  for (DT32S k = 1; k < bins - 1; ++k) X[2 * k + 1] = -X[2 * k + 1];
  return 0;
}

// dst = conj(src); DC and Nyquist copied as they are.
inline DT32S conjCopySpectrum32f(const DT32F *src, DT32F *dst, DT32S bins) {
  if (!src || !dst) return -1;
  if (bins < 1) return 0;
  dst[0] = src[0];
  if (bins > 1) dst[1] = src[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    dst[2 * k] = src[2 * k];
    dst[2 * k + 1] = -src[2 * k + 1];
  }
  return 0;
}

// out = A * B bin by bin (DC and Nyquist as real products).
inline DT32S mulSpectrum32f(const DT32F *A, const DT32F *B, DT32F *out,
                            DT32S bins) {
  if (!A || !B || !out) return -1;
  if (bins < 1) return 0;
  out[0] = A[0] * B[0];
  if (bins > 1) out[1] = A[1] * B[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F ar = A[2 * k], ai = A[2 * k + 1];
    const DT32F br = B[2 * k], bi = B[2 * k + 1];
    out[2 * k] = diffOfProducts(ar, br, ai, bi);
    out[2 * k + 1] = ar * bi + ai * br;
  }
  return 0;
}

// acc += A * B bin by bin.
inline DT32S macSpectrum32f(const DT32F *A, const DT32F *B, DT32F *acc,
                            DT32S bins) {
  if (!A || !B || !acc) return -1;
  if (bins < 1) return 0;
  acc[0] += A[0] * B[0];
  if (bins > 1) acc[1] += A[1] * B[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F ar = A[2 * k], ai = A[2 * k + 1];
    const DT32F br = B[2 * k], bi = B[2 * k + 1];
    acc[2 * k] += diffOfProducts(ar, br, ai, bi);
    acc[2 * k + 1] += ar * bi + ai * br;
  }
  return 0;
}

// X bin k /= (eps + P[k]); the Nyquist value X[1] pairs with P[bins-1].
inline DT32S normSpectrum32f(const DT32F *P, DT32F eps, DT32F *X, DT32S bins) {
  if (!P || !X) return -1;
  if (bins < 1) return 0;
  X[0] /= eps + P[0];
  if (bins > 1) X[1] /= eps + P[bins - 1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F d = eps + P[k];
    X[2 * k] /= d;
    X[2 * k + 1] /= d;
  }
  return 0;
}

}  // namespace quolm32f

#endif
