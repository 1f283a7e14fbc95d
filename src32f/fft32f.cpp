// Real FFT: bit reversal in the caller's work area, radix-4 complex stages
// (radix-2 when the count of pairs is not a power of four), and the split and
// join steps between the N/2-point complex transform and the real spectrum.
#include "fft32f.h"

#include "quolmffttables32f.h"

namespace quolm32f {
namespace {

typedef DT32F T;

struct Cplx {
  T re, im;
};

inline Cplx mul(Cplx w, T re, T im) {
  return {w.re * re - w.im * im, w.re * im + w.im * re};
}

// Radix-4 butterfly on the complex values at value indices j, j + l, j + 2l,
// j + 3l with the twiddles of the second, third and fourth outputs.
template <bool Plain>
inline void butterfly(T *a, DT32S j, DT32S l, Cplx w1, Cplx w2, Cplx w3) {
  T *z0 = a + j, *z1 = z0 + l, *z2 = z1 + l, *z3 = z2 + l;
  const T x0r = z0[0] + z1[0], x0i = z0[1] + z1[1];
  const T x1r = z0[0] - z1[0], x1i = z0[1] - z1[1];
  const T x2r = z2[0] + z3[0], x2i = z2[1] + z3[1];
  const T x3r = z2[0] - z3[0], x3i = z2[1] - z3[1];
  z0[0] = x0r + x2r;
  z0[1] = x0i + x2i;
  if (Plain) {
    z2[0] = x0r - x2r, z2[1] = x0i - x2i;
    z1[0] = x1r - x3i, z1[1] = x1i + x3r;
    z3[0] = x1r + x3i, z3[1] = x1i - x3r;
    return;
  }
  const Cplx c2 = mul(w2, x0r - x2r, x0i - x2i);
  const Cplx c1 = mul(w1, x1r - x3i, x1i + x3r);
  const Cplx c3 = mul(w3, x1r + x3i, x1i - x3r);
  z2[0] = c2.re, z2[1] = c2.im;
  z1[0] = c1.re, z1[1] = c1.im;
  z3[0] = c3.re, z3[1] = c3.im;
}

// The butterfly of the block at m: twiddles i for the second output and
// r(1+i), r(-1+i) for the others, r = cos(pi/4).
inline void butterflyEighth(T *a, DT32S j, DT32S l, T r) {
  T *z0 = a + j, *z1 = z0 + l, *z2 = z1 + l, *z3 = z2 + l;
  const T x0r = z0[0] + z1[0], x0i = z0[1] + z1[1];
  const T x1r = z0[0] - z1[0], x1i = z0[1] - z1[1];
  const T x2r = z2[0] + z3[0], x2i = z2[1] + z3[1];
  const T x3r = z2[0] - z3[0], x3i = z2[1] - z3[1];
  z0[0] = x0r + x2r;
  z0[1] = x0i + x2i;
  z2[0] = x2i - x0i;
  z2[1] = x0r - x2r;
  const T ur = x1r - x3i, ui = x1i + x3r;
  z1[0] = r * (ur - ui);
  z1[1] = r * (ur + ui);
  const T vr = x1r + x3i, vi = x1i - x3r;
  z3[0] = r * (-vi - vr);
  z3[1] = r * (vr - vi);
}

// One radix-4 stage of span l (in values) over N values; the twiddles of the
// block pairs come in bit-reversed order from w.
void radix4Stage(DT32S N, DT32S l, T *a, const T *w) {
  const DT32S m = 4 * l;
  const Cplx one = {T(1), T(0)};
  for (DT32S j = 0; j < l; j += 2) butterfly<true>(a, j, l, one, one, one);
  const T r = w[2];
  for (DT32S j = m; j < l + m; j += 2) butterflyEighth(a, j, l, r);
  DT32S k1 = 0;
  for (DT32S k = 2 * m; k < N; k += 2 * m) {
    k1 += 2;
    const DT32S k2 = 2 * k1;
    const Cplx w2 = {w[k1], w[k1 + 1]};
    Cplx w1 = {w[k2], w[k2 + 1]};
    Cplx w3 = {w1.re - 2 * w2.im * w1.im, 2 * w2.im * w1.re - w1.im};
    for (DT32S j = k; j < l + k; j += 2) butterfly<false>(a, j, l, w1, w2, w3);
    const Cplx iw2 = {-w2.im, w2.re};
    w1 = {w[k2 + 2], w[k2 + 3]};
    w3 = {w1.re - 2 * w2.re * w1.im, 2 * w2.re * w1.re - w1.im};
    for (DT32S j = k + m; j < l + k + m; j += 2)
      butterfly<false>(a, j, l, w1, iw2, w3);
  }
}

// Complex transform of the N/2 pairs (input in bit-reversed order); the
// backward form stores the complex conjugate of each result of its last stage.
template <bool Backward>
void complexTransform(DT32S N, T *a, const T *w) {
  DT32S l = 2;
  if (N > 8) {
    radix4Stage(N, 2, a, w);
    l = 8;
    while (4 * l < N) {
      radix4Stage(N, l, a, w);
      l *= 4;
    }
  }
  const T sign = Backward ? T(-1) : T(1);  // exact: conjugation only
  if (4 * l == N) {
    for (DT32S j = 0; j < l; j += 2) {
      T *z0 = a + j, *z1 = z0 + l, *z2 = z1 + l, *z3 = z2 + l;
      const T x0r = z0[0] + z1[0], x0i = z0[1] + z1[1];
      const T x1r = z0[0] - z1[0], x1i = z0[1] - z1[1];
      const T x2r = z2[0] + z3[0], x2i = z2[1] + z3[1];
      const T x3r = z2[0] - z3[0], x3i = z2[1] - z3[1];
      z0[0] = x0r + x2r, z0[1] = sign * (x0i + x2i);
      z2[0] = x0r - x2r, z2[1] = sign * (x0i - x2i);
      z1[0] = x1r - x3i, z1[1] = sign * (x1i + x3r);
      z3[0] = x1r + x3i, z3[1] = sign * (x1i - x3r);
    }
  } else {
    for (DT32S j = 0; j < l; j += 2) {
      T *z0 = a + j, *z1 = z0 + l;
      const T sr = z0[0] + z1[0], si = z0[1] + z1[1];
      const T dr = z0[0] - z1[0], di = z0[1] - z1[1];
      z0[0] = sr, z0[1] = sign * si;
      z1[0] = dr, z1[1] = sign * di;
    }
  }
}

// Forward split: turns the complex transform of the N/2 pairs into the packed
// real spectrum (DC and Nyquist are finished by the caller). The cosine table
// has nc entries for a set built for 4 nc values; the stride ks adapts it.
void split(DT32S N, T *a, DT32S nc, const T *cs) {
  const DT32S m = N / 2, ks = 2 * nc / m;
  DT32S kk = 0;
  for (DT32S j = 2; j < m; j += 2) {
    const DT32S k = N - j;
    kk += ks;
    const T wr = T(0.5) - cs[nc - kk], wi = cs[kk];
    const T xr = a[j] - a[k], xi = a[j + 1] + a[k + 1];
    const T yr = wr * xr - wi * xi, yi = wr * xi + wi * xr;
    a[j] -= yr;
    a[j + 1] -= yi;
    a[k] += yr;
    a[k + 1] -= yi;
  }
}

// Inverse of the split, ahead of the backward complex transform.
void join(DT32S N, T *a, DT32S nc, const T *cs) {
  const DT32S m = N / 2, ks = 2 * nc / m;
  DT32S kk = 0;
  a[1] = -a[1];
  for (DT32S j = 2; j < m; j += 2) {
    const DT32S k = N - j;
    kk += ks;
    const T wr = T(0.5) - cs[nc - kk], wi = cs[kk];
    const T xr = a[j] - a[k], xi = a[j + 1] + a[k + 1];
    const T yr = wr * xr + wi * xi, yi = wr * xi - wi * xr;
    a[j] -= yr;
    a[j + 1] = yi - a[j + 1];
    a[k] += yr;
    a[k + 1] = yi - a[k + 1];
  }
  a[m + 1] = -a[m + 1];
}

}  // namespace

void realFft32f(DT32S N, DT32S direction, DT32F *a, DT32S *fftWork,
                const DT32F *fftTable) {
  const DT32S nw = fftWork[0], nc = fftWork[1];
  const T *w = fftTable, *cs = fftTable + nw;
  if (direction < 0) {
    if (N > 4) {
      quolmFftBitReverse32f(N, fftWork + 2, a);
      complexTransform<false>(N, a, w);
      split(N, a, nc, cs);
    } else if (N == 4) {
      complexTransform<false>(N, a, w);
    }
    const T diff = a[0] - a[1];
    a[0] += a[1];
    a[1] = diff;
    return;
  }
  a[1] = T(0.5) * (a[0] - a[1]);
  a[0] -= a[1];
  if (N > 4) {
    join(N, a, nc, cs);
    quolmFftBitReverse32f(N, fftWork + 2, a);
    complexTransform<true>(N, a, w);
  } else if (N == 4) {
    complexTransform<false>(N, a, w);  // two values: both directions agree
  }
}

}  // namespace quolm32f
