/* SPDX-License-Identifier: MIT */
// Element-wise and bin-wise routines of the frequency-domain filters. Spectra
// are packed as realFft leaves them: DC in [0], Nyquist in [1], bin k
// (1 <= k < bins - 1) as [2k] + i [2k+1]; the spectral routines take the bin
// count bins = N/2 + 1. They run inside the block steps, so they take valid
// pointers and check nothing; the exported functions check. The loops are
// plain single passes so that they vectorise.
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
inline void subtractVector(const DT32F *a, const DT32F *b, DT32F *out,
                           DT32S n) {
  for (DT32S i = 0; i < n; ++i) out[i] = b[i] - a[i];
}

// x[i] *= s.
inline void scaleVector(DT32F s, DT32F *x, DT32S n) {
  for (DT32S i = 0; i < n; ++i) x[i] = s * x[i];
}

// Both values of each of the first `pairs` pairs *= s.
inline void scaleComplex(DT32F s, DT32F *x, DT32S pairs) {
  scaleVector(s, x, pairs > 0 ? 2 * pairs : 0);
}

// p[i] = lambda * p[i] + gain * x[i] (the product lambda * p[i] first).
inline void smoothPower(DT32F gain, const DT32F *x, DT32F lambda, DT32F *p,
                        DT32S n) {
  for (DT32S i = 0; i < n; ++i) p[i] = lambda * p[i] + gain * x[i];
}

// P[k] = |X bin k|^2, DC first and Nyquist last (P has `bins` values).
inline void powerSpectrum(const DT32F *X, DT32F *P, DT32S bins) {
  if (bins < 1) return;
  P[0] = X[0] * X[0];
  for (DT32S k = 1; k < bins - 1; ++k)
    P[k] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
  if (bins > 1) P[bins - 1] = X[1] * X[1];
}

// Negates the imaginary parts of bins 1 .. bins-2 in place.
inline void conjSpectrum(DT32F *X, DT32S bins) {
  for (DT32S k = 1; k < bins - 1; ++k) X[2 * k + 1] = -X[2 * k + 1];
}

// dst = conj(src); DC and Nyquist copied as they are.
inline void conjCopySpectrum(const DT32F *src, DT32F *dst, DT32S bins) {
  if (bins < 1) return;
  dst[0] = src[0];
  if (bins > 1) dst[1] = src[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    dst[2 * k] = src[2 * k];
    dst[2 * k + 1] = -src[2 * k + 1];
  }
}

// out = A * B bin by bin (DC and Nyquist as real products).
inline void mulSpectrum(const DT32F *A, const DT32F *B, DT32F *out,
                        DT32S bins) {
  if (bins < 1) return;
  out[0] = A[0] * B[0];
  if (bins > 1) out[1] = A[1] * B[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F ar = A[2 * k], ai = A[2 * k + 1];
    const DT32F br = B[2 * k], bi = B[2 * k + 1];
    out[2 * k] = diffOfProducts(ar, br, ai, bi);
    out[2 * k + 1] = ar * bi + ai * br;
  }
}

// acc += A * B bin by bin.
inline void macSpectrum(const DT32F *A, const DT32F *B, DT32F *acc,
                        DT32S bins) {
  if (bins < 1) return;
  acc[0] += A[0] * B[0];
  if (bins > 1) acc[1] += A[1] * B[1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F ar = A[2 * k], ai = A[2 * k + 1];
    const DT32F br = B[2 * k], bi = B[2 * k + 1];
    acc[2 * k] += diffOfProducts(ar, br, ai, bi);
    acc[2 * k + 1] += ar * bi + ai * br;
  }
}

// X bin k /= (eps + P[k]); the Nyquist value X[1] pairs with P[bins-1].
inline void normSpectrum(const DT32F *P, DT32F eps, DT32F *X, DT32S bins) {
  if (bins < 1) return;
  X[0] /= eps + P[0];
  if (bins > 1) X[1] /= eps + P[bins - 1];
  for (DT32S k = 1; k < bins - 1; ++k) {
    const DT32F d = eps + P[k];
    X[2 * k] /= d;
    X[2 * k + 1] /= d;
  }
}

}  // namespace quolm32f

#endif
