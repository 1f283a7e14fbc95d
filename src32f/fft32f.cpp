// SPDX-License-Identifier: MIT
// Real FFT: bit reversal, radix-4 complex stages (radix-2 when the count of
// pairs is not a power of four), and the split and join steps between the
// N/2-point complex transform and the real spectrum. Each step is written
// plainly first (the reference) and then on 32-byte vectors doing the same
// operations lane by lane, so both give the same bits (the transform test
// holds digests of the plain results): from 64 values on, the bit reversal
// and the first stage are one pass over tiles of pairs (below that the
// reversal runs in the caller's work area), the last radix-4 stage and a
// radix-2 stage after it share one pass, split and join run on vectors of
// bins.
#include "fft32f.h"

#include <stdint.h>

#include <type_traits>

#include "kernels32f.h"
#include "quolmffttables32f.h"
#include "spectral32f.h"

namespace quolm32f {
namespace {

typedef DT32F T;

// The complex transform is also built for AVX2 (see QUOLM_WIDE_CLONES); its
// stages are inlined into it so that the AVX2 build covers them.
#define QUOLM_FFT_STAGE inline __attribute__((always_inline))

struct Cplx {
  T re, im;
};

inline Cplx mul(Cplx w, T re, T im) {
  return {diffOfProducts(w.re, re, w.im, im), w.re * im + w.im * re};
}

// Radix-4 butterflies over one block: for j = 0, 2, .., l-2 the complex
// values p0[j], p1[j], p2[j], p3[j] (spans of l values that never overlap,
// hence restrict, which lets the loop vectorise) become the outputs with
// twiddles w1, w2, w3 on the second, third and fourth; Plain blocks have
// none, and Conj (the backward transform's last stage) stores each output
// conjugated.
template <bool Plain, bool Conj = false>
QUOLM_FFT_STAGE void butterflies(T *__restrict p0, T *__restrict p1,
                                 T *__restrict p2, T *__restrict p3, DT32S l,
                                 Cplx w1, Cplx w2, Cplx w3) {
  for (DT32S j = 0; j < l; j += 2) {
    const T x0r = p0[j] + p1[j], x0i = p0[j + 1] + p1[j + 1];
    const T x1r = p0[j] - p1[j], x1i = p0[j + 1] - p1[j + 1];
    const T x2r = p2[j] + p3[j], x2i = p2[j + 1] + p3[j + 1];
    const T x3r = p2[j] - p3[j], x3i = p2[j + 1] - p3[j + 1];
    const T s = Conj ? T(-1) : T(1);  // exact
    p0[j] = x0r + x2r;
    p0[j + 1] = s * (x0i + x2i);
    if (Plain) {
      p2[j] = x0r - x2r, p2[j + 1] = s * (x0i - x2i);
      p1[j] = x1r - x3i, p1[j + 1] = s * (x1i + x3r);
      p3[j] = x1r + x3i, p3[j + 1] = s * (x1i - x3r);
    } else {
      const Cplx c2 = mul(w2, x0r - x2r, x0i - x2i);
      const Cplx c1 = mul(w1, x1r - x3i, x1i + x3r);
      const Cplx c3 = mul(w3, x1r + x3i, x1i - x3r);
      p2[j] = c2.re, p2[j + 1] = c2.im;
      p1[j] = c1.re, p1[j + 1] = c1.im;
      p3[j] = c3.re, p3[j + 1] = c3.im;
    }
  }
}

// Wide form of the butterflies: kW values (four complex values in the single
// build, two in the double) per 32-byte vector, as many as one AVX2 register
// holds. The vector code does exactly the scalar operations lane by lane:
// a - b as a + (-b) and products with +-1 are exact, so every value keeps its
// bits. i*x needs re and im exchanged (swap) and the real lane negated (alt).
// The helpers from here on return 32-byte vectors; they are always inlined,
// so the ABI warning GCC gives for the default build concerns no real call.
// GCC reports it at the end of the translation unit, past any pop, so it
// stays off from here to the end of the unit (the tests and the bench that
// include this file get that too). Vector parameters go by reference: GCC's
// note on those ignores the pragma.
#pragma GCC diagnostic ignored "-Wpsabi"
typedef T Wide __attribute__((vector_size(32)));
constexpr DT32S kW = DT32S(32 / sizeof(T));
typedef std::conditional<sizeof(T) == 4, int32_t, int64_t>::type Lane;
typedef Lane LaneMask __attribute__((vector_size(32)));

// Lane moves: GCC's __builtin_shuffle; clang has no form taking a mask
// vector, so there the lanes move one by one (the same values, only slower).
QUOLM_FFT_STAGE Wide shuffle(const Wide &a, const LaneMask &m) {
#if defined(__clang__)
  Wide r;
  for (DT32S i = 0; i < kW; ++i) r[i] = a[m[i] & (kW - 1)];
  return r;
#else
  return __builtin_shuffle(a, m);
#endif
}
QUOLM_FFT_STAGE Wide shuffle(const Wide &a, const Wide &b, const LaneMask &m) {
#if defined(__clang__)
  Wide r;
  for (DT32S i = 0; i < kW; ++i) {
    const Lane k = m[i] & (2 * kW - 1);
    r[i] = k < kW ? a[k] : b[k - kW];
  }
  return r;
#else
  return __builtin_shuffle(a, b, m);
#endif
}

struct Lanes {
  LaneMask swap, evenOdd;  // (1, 0, 3, 2, ..), (0, kW + 1, 2, kW + 3, ..)
  Wide alt, conj;          // (-1, 1, -1, 1, ..), (1, -1, 1, -1, ..)
  Lanes() {
    for (DT32S i = 0; i < kW; ++i) {
      swap[i] = i ^ 1;
      evenOdd[i] = i & 1 ? kW + i : i;
      alt[i] = i & 1 ? T(1) : T(-1);
      conj[i] = -alt[i];
    }
  }
};

QUOLM_FFT_STAGE Wide load(const T *p) {
  Wide v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

QUOLM_FFT_STAGE void store(T *p, const Wide &v) {
  __builtin_memcpy(p, &v, sizeof v);
}

// x in every lane (not 0 + x, which would turn -0 into +0).
QUOLM_FFT_STAGE Wide splat(T x) {
  Wide v;
  for (DT32S i = 0; i < kW; ++i) v[i] = x;
  return v;
}

// w * u for each complex lane: (wr ur - wi ui, wr ui + wi ur). Both sums
// are formed and the lanes picked (one add-subtract instruction on AVX2).
QUOLM_FFT_STAGE Wide mulWide(const Lanes &c, const Wide &wr, const Wide &wi,
                             const Wide &u) {
  const Wide p = u * wr, q = shuffle(u, c.swap) * wi;
  return shuffle(p - q, p + q, c.evenOdd);
}

// Twiddles per complex lane, real and imaginary parts each in both lanes.
struct WideTwiddles {
  Wide w1r, w1i, w2r, w2i, w3r, w3i;
};

// One radix-4 butterfly per complex lane of v0 .. v3, in place, as in
// butterflies<Plain, Conj>.
template <bool Plain, bool Conj>
QUOLM_FFT_STAGE void radix4Wide(const Lanes &c, const WideTwiddles &t,
                                Wide &v0, Wide &v1, Wide &v2, Wide &v3) {
  const Wide x0 = v0 + v1, x1 = v0 - v1, x2 = v2 + v3, x3 = v2 - v3;
  // x1 + i x3 = (x1r - x3i, x1i + x3r) and x1 - i x3 from the same two sums
  const Wide s3 = shuffle(x3, c.swap);
  const Wide lo = x1 - s3, hi = x1 + s3;
  v0 = x0 + x2, v2 = x0 - x2;
  v1 = shuffle(lo, hi, c.evenOdd);
  v3 = shuffle(hi, lo, c.evenOdd);
  if (!Plain) {
    v2 = mulWide(c, t.w2r, t.w2i, v2);
    v1 = mulWide(c, t.w1r, t.w1i, v1);
    v3 = mulWide(c, t.w3r, t.w3i, v3);
  }
  if (Conj) v0 *= c.conj, v1 *= c.conj, v2 *= c.conj, v3 *= c.conj;
}

// butterflies<Plain, Conj> for l a multiple of kW.
template <bool Plain, bool Conj = false>
QUOLM_FFT_STAGE void butterfliesWide(T *p0, T *p1, T *p2, T *p3, DT32S l,
                                     Cplx w1, Cplx w2, Cplx w3) {
  const Lanes c;
  const WideTwiddles t = {splat(w1.re), splat(w1.im), splat(w2.re),
                          splat(w2.im), splat(w3.re), splat(w3.im)};
  for (DT32S j = 0; j < l; j += kW) {
    Wide v0 = load(p0 + j), v1 = load(p1 + j);
    Wide v2 = load(p2 + j), v3 = load(p3 + j);
    radix4Wide<Plain, Conj>(c, t, v0, v1, v2, v3);
    store(p0 + j, v0), store(p1 + j, v1), store(p2 + j, v2), store(p3 + j, v3);
  }
}

// Lane mask taking complex values u[0], u[1], .. (indices into the two
// vectors a, b of a two-source shuffle, b's from kW / 2).
QUOLM_FFT_STAGE LaneMask pick(const int *u) {
  LaneMask m;
  for (DT32S i = 0; i < kW; ++i) m[i] = 2 * u[i / 2] + (i & 1);
  return m;
}

// Moves complex value q of block b to lane b of vector q, so that the first
// stage runs kW / 2 blocks side by side, one per complex lane. A block is one
// vector v[b] in the single build (a 4 x 4 transpose of complex values, its
// own inverse) and two, v[2b] and v[2b + 1], in the double.
template <bool Back>
QUOLM_FFT_STAGE void exchange(Wide v[4]) {
  if constexpr (kW == 8) {
    static const int lo[4] = {0, 4, 2, 6}, hi[4] = {1, 5, 3, 7};
    static const int low[4] = {0, 1, 4, 5}, high[4] = {2, 3, 6, 7};
    const Wide t0 = shuffle(v[0], v[1], pick(lo));
    const Wide t1 = shuffle(v[0], v[1], pick(hi));
    const Wide t2 = shuffle(v[2], v[3], pick(lo));
    const Wide t3 = shuffle(v[2], v[3], pick(hi));
    v[0] = shuffle(t0, t2, pick(low));
    v[1] = shuffle(t1, t3, pick(low));
    v[2] = shuffle(t0, t2, pick(high));
    v[3] = shuffle(t1, t3, pick(high));
  } else {
    static const int first[2] = {0, 2}, second[2] = {1, 3};
    const int x = Back ? 1 : 2, y = Back ? 2 : 1;  // v[x]: the other source
    const Wide a = shuffle(v[0], v[x], pick(first));
    const Wide b = shuffle(v[0], v[x], pick(second));
    const Wide c = shuffle(v[y], v[3], pick(first));
    const Wide d = shuffle(v[y], v[3], pick(second));
    v[0] = a, v[y] = b, v[x] = c, v[3] = d;
  }
}

// The first stage (span 2) from value 16 on, kW / 2 blocks of 8 values at a
// time; returns the first block pair left for the scalar loop. The twiddles
// of block pair k = 16 (p + 1) are w2 = w[2p + 2 ..] (i w2 for the second
// block) and w1 = w[4p + 4 ..], w[4p + 6 ..]: consecutive blocks read
// consecutive w1 values, so one load serves the group. w3 follows the scalar
// formula lane by lane (i w2 has w2's real part as imaginary part).
QUOLM_FFT_STAGE DT32S firstStageWide(DT32S N, T *a, const T *w) {
  const Lanes c;
  // re, im: each part in both lanes; turn: from the w2 values (wr, wi) of
  // the group's pairs, (wr, wi) for one block and (-wi, wr) for the next.
  LaneMask re, im, turn;
  for (DT32S i = 0; i < kW; ++i) {
    const DT32S b = i / 2, q = 2 * (b / 2);
    re[i] = i & ~1, im[i] = i | 1;
    turn[i] = b & 1 ? (i & 1 ? q : kW + q + 1) : q + (i & 1);
  }
  DT32S k = 16;
  for (; k + 4 * kW <= N; k += 4 * kW) {
    const DT32S p = (k - 16) / 16;
    const Wide w1 = load(w + 4 * p + 4), u = load(w + 2 * p + 2);
    const Wide w2 = shuffle(u, -u, turn);
    const Wide ts = (T(2) * shuffle(w2, im)) *
                    shuffle(w1, c.swap);  // 2 w2i w1i, 2 w2i w1r
    const Wide w3 = shuffle(w1 - ts, ts - w1, c.evenOdd);
    const WideTwiddles t = {
        shuffle(w1, re), shuffle(w1, im),
        shuffle(w2, re), shuffle(w2, im),
        shuffle(w3, re), shuffle(w3, im)};
    Wide v[4];
    for (int q = 0; q < 4; ++q) v[q] = load(a + k + q * kW);
    exchange<false>(v);
    radix4Wide<false, false>(c, t, v[0], v[1], v[2], v[3]);
    exchange<true>(v);
    for (int q = 0; q < 4; ++q) store(a + k + q * kW, v[q]);
  }
  return k;
}

// The block at m: twiddles i for the third output and r(1+i), r(-1+i) for
// the second and fourth, r = cos(pi/4).
QUOLM_FFT_STAGE void butterfliesEighth(T *__restrict p0, T *__restrict p1,
                                       T *__restrict p2, T *__restrict p3,
                                       DT32S l, T r) {
  for (DT32S j = 0; j < l; j += 2) {
    const T x0r = p0[j] + p1[j], x0i = p0[j + 1] + p1[j + 1];
    const T x1r = p0[j] - p1[j], x1i = p0[j + 1] - p1[j + 1];
    const T x2r = p2[j] + p3[j], x2i = p2[j + 1] + p3[j + 1];
    const T x3r = p2[j] - p3[j], x3i = p2[j + 1] - p3[j + 1];
    p0[j] = x0r + x2r;
    p0[j + 1] = x0i + x2i;
    p2[j] = x2i - x0i;
    p2[j + 1] = x0r - x2r;
    const T ur = x1r - x3i, ui = x1i + x3r;
    p1[j] = r * (ur - ui);
    p1[j + 1] = r * (ur + ui);
    const T vr = x1r + x3i, vi = x1i - x3r;
    p3[j] = r * (-vi - vr);
    p3[j + 1] = r * (vr - vi);
  }
}

// butterfliesEighth for l a multiple of kW; the lane forms of the scalar
// expressions are written beside them.
QUOLM_FFT_STAGE void eighthWide(const Lanes &c, const Wide &r, Wide &v0, Wide &v1,
                                Wide &v2, Wide &v3) {
  const Wide x0 = v0 + v1, x1 = v0 - v1, x2 = v2 + v3, x3 = v2 - v3;
  const Wide ix3 = shuffle(x3, c.swap) * c.alt;
  const Wide s0 = shuffle(x0, c.swap);
  const Wide s2 = shuffle(x2, c.swap);
  const Wide u = x1 + ix3, v = x1 - ix3;
  const Wide su = shuffle(u, c.swap), sv = shuffle(v, c.swap);
  v0 = x0 + x2;
  // (x2i - x0i, x0r - x2r): both differences, then the lanes picked.
  v2 = shuffle(s2 - s0, s0 - s2, c.evenOdd);
  v1 = r * (u + su * c.alt);  // r (ur - ui), r (ui + ur)
  v3 = r * (sv * c.alt - v);  // r (-vi - vr), r (vr - vi)
}

QUOLM_FFT_STAGE void butterfliesEighthWide(T *p0, T *p1, T *p2, T *p3, DT32S l,
                                           T r) {
  const Lanes c;
  const Wide rv = splat(r);
  for (DT32S j = 0; j < l; j += kW) {
    Wide v0 = load(p0 + j), v1 = load(p1 + j);
    Wide v2 = load(p2 + j), v3 = load(p3 + j);
    eighthWide(c, rv, v0, v1, v2, v3);
    store(p0 + j, v0), store(p1 + j, v1), store(p2 + j, v2), store(p3 + j, v3);
  }
}

// quolmFftBitReverse32f (the table builder's) with each complex value moved
// as one unit: the same exchanges in the same work area, two values per load.
struct Unit {
  T v[2];
};

QUOLM_FFT_STAGE void swapUnits(T *a, DT32S p, DT32S q) {
  Unit x, y;
  __builtin_memcpy(&x, a + p, sizeof x);
  __builtin_memcpy(&y, a + q, sizeof y);
  __builtin_memcpy(a + p, &y, sizeof y);
  __builtin_memcpy(a + q, &x, sizeof x);
}

void bitReverse(DT32S N, DT32S *work, T *a) {
  DT32S l = N, m = 1;
  work[0] = 0;
  while (8 * m < l) {
    l /= 2;
    for (DT32S j = 0; j < m; j++) work[m + j] = work[j] + l;
    m *= 2;
  }
  const DT32S m2 = 2 * m;
  if (8 * m == l) {
    for (DT32S k = 0; k < m; k++) {
      for (DT32S j = 0; j < k; j++) {
        const DT32S j1 = 2 * j + work[k], k1 = 2 * k + work[j];
        swapUnits(a, j1, k1);
        swapUnits(a, j1 + m2, k1 + 2 * m2);
        swapUnits(a, j1 + 2 * m2, k1 + m2);
        swapUnits(a, j1 + 3 * m2, k1 + 3 * m2);
      }
      const DT32S j1 = 2 * k + m2 + work[k];
      swapUnits(a, j1, j1 + m2);
    }
  } else {
    for (DT32S k = 1; k < m; k++) {
      for (DT32S j = 0; j < k; j++) {
        const DT32S j1 = 2 * j + work[k], k1 = 2 * k + work[j];
        swapUnits(a, j1, k1);
        swapUnits(a, j1 + m2, k1 + m2);
      }
    }
  }
}

// The bit reversal fused with the first stage, for N >= 64 (P = N/2 pairs,
// Q = P/16 >= 2 tiles). Pair i = 4Q t + 4m + s (t, s < 4, m < Q) is output s
// of block b = Qt + m and, once reversed, holds input pair rev(i) =
// 4Q rev2(s) + 4 rev(m) + rev2(t). So the 16 pairs of tile m come from the
// 16 of tile m' = rev(m): the row of four pairs from pair 4Q u + 4m' holds, in
// lane v, input rev2(u) of block Q rev2(v) + m. Loaded rows are therefore
// the butterflies' input vectors as they stand; the results go back to rows
// of tile m by the transpose of firstStageWide. Tiles m and m' are loaded
// before either is stored, which makes the pass in place, and the reversal
// and the stage's own loads and stores become one pass.
constexpr DT32S kRow = 8 / kW;  // vectors per row of four pairs

struct TileRows {
  Wide v[4][kRow];  // row u, part h
};

QUOLM_FFT_STAGE DT32S rev2(DT32S x) { return (x & 1) << 1 | x >> 1; }

QUOLM_FFT_STAGE void loadTile(DT32S N, const T *a, DT32S m, TileRows &r) {
  for (DT32S u = 0; u < 4; ++u)
    for (DT32S h = 0; h < kRow; ++h)
      r.v[u][h] = load(a + u * (N / 4) + 8 * m + h * kW);
}

// Complex entries e[0], e[1], .. of the table, one per complex lane, moved
// straight into the vector (filling an array and loading it would stall on
// the store-to-load forwarding of the narrow stores): 64-bit units in the
// single build, 16-byte halves in the double (a 128-bit insert from memory,
// which keeps the shuffle port free).
typedef uint64_t Units __attribute__((vector_size(32)));
typedef T Half __attribute__((vector_size(16)));

template <class H = Half>  // dependent, so only the build's branch compiles
QUOLM_FFT_STAGE Wide gather(const T *w, const DT32S *e) {
  if constexpr (kW == 8) {
    auto unit = [w, e](int j) {
      uint64_t u;
      __builtin_memcpy(&u, w + 2 * e[j], sizeof u);
      return u;
    };
    return (Wide)Units{unit(0), unit(1), unit(2), unit(3)};
  } else {
    auto half = [w, e](int j) {
      H h;
      __builtin_memcpy(&h, w + 2 * e[j], sizeof h);
      return h;
    };
    return __builtin_shufflevector(half(0), half(1), 0, 1, 2, 3);
  }
}

// Tile m of the first stage from the rows of tile rev(m). Blocks of one tile
// share m's parity (Q is even), so w2 is the table's w[b/2] or i times it
// for all lanes, and w3 follows the scalar formula as in firstStageWide.
// Tiles 0 and 1 hold blocks 0 (plain) and 1 (the eighth block) in lane 0 of
// their first vectors; those lanes take the special butterflies' results.
QUOLM_FFT_STAGE void reversedTile(DT32S N, T *a, const T *w, DT32S m,
                                  const TileRows &in) {
  const Lanes c;
  LaneMask re, im, turn, first;
  for (DT32S i = 0; i < kW; ++i) {
    re[i] = i & ~1, im[i] = i | 1;
    turn[i] = i & 1 ? i - 1 : kW + i + 1;  // (-wi, wr)
    first[i] = i < 2 ? kW + i : i;
  }
  const DT32S Q = N / 32;
  for (DT32S h = 0; h < kRow; ++h) {
    DT32S e1[kW / 2], e2[kW / 2];
    for (DT32S j = 0; j < kW / 2; ++j) {
      e1[j] = Q * rev2(h * kW / 2 + j) + m;
      e2[j] = e1[j] / 2;
    }
    const Wide w1 = gather(w, e1), u = gather(w, e2);
    const Wide w2 = m & 1 ? shuffle(u, -u, turn) : u;
    const Wide ts = (T(2) * shuffle(w2, im)) * shuffle(w1, c.swap);
    const Wide w3 = shuffle(w1 - ts, ts - w1, c.evenOdd);
    const WideTwiddles t = {shuffle(w1, re), shuffle(w1, im),
                            shuffle(w2, re), shuffle(w2, im),
                            shuffle(w3, re), shuffle(w3, im)};
    Wide v[4] = {in.v[0][h], in.v[2][h], in.v[1][h], in.v[3][h]};
    if (h == 0 && m < 2) {
      Wide s[4] = {v[0], v[1], v[2], v[3]};
      if (m == 0)
        radix4Wide<true, false>(c, t, s[0], s[1], s[2], s[3]);
      else
        eighthWide(c, splat(w[2]), s[0], s[1], s[2], s[3]);
      radix4Wide<false, false>(c, t, v[0], v[1], v[2], v[3]);
      for (int q = 0; q < 4; ++q) v[q] = shuffle(v[q], s[q], first);
    } else {
      radix4Wide<false, false>(c, t, v[0], v[1], v[2], v[3]);
    }
    exchange<true>(v);
#pragma GCC unroll 4
    for (DT32S x = 0; x < kW / 2; ++x) {
      T *row = a + rev2(h * kW / 2 + x) * (N / 4) + 8 * m;
      for (DT32S r = 0; r < kRow; ++r) store(row + r * kW, v[x * kRow + r]);
    }
  }
}

// The fused pass over every tile pair (m, rev(m)), rev counting down the
// bits of m in reverse.
QUOLM_FFT_STAGE void reversedFirstStage(DT32S N, T *a, const T *w) {
  const DT32S Q = N / 32;
  for (DT32S m = 0, r = 0; m < Q; ++m) {
    if (m <= r) {
      TileRows x, y;
      loadTile(N, a, m, x);
      loadTile(N, a, r, y);
      reversedTile(N, a, w, m, y);
      if (r != m) reversedTile(N, a, w, r, x);
    }
    DT32S bit = Q / 2;  // r + 1 in reversed bit order
    while (r & bit) r ^= bit, bit /= 2;
    r |= bit;
  }
}

// The radix-4 stage of span l = N/8 (only the plain block at 0 and the
// eighth block at 4l) and the radix-2 last stage of span 4l that follows it,
// in one pass: each column j holds the eight vectors both stages need, so
// the radix-2 stage's loads and stores go. Eight vectors plus the constants
// fit the sixteen AVX2 registers.
template <bool Conj>
QUOLM_FFT_STAGE void lastTwoStagesWide(T *a, DT32S l, T r) {
  const Lanes c;
  const WideTwiddles none = {};
  const Wide rv = splat(r);
  T *b = a + 4 * l;
  for (DT32S j = 0; j < l; j += kW) {
    Wide u[4], v[4];
    for (int q = 0; q < 4; ++q) u[q] = load(a + q * l + j);
    for (int q = 0; q < 4; ++q) v[q] = load(b + q * l + j);
    radix4Wide<true, false>(c, none, u[0], u[1], u[2], u[3]);
    eighthWide(c, rv, v[0], v[1], v[2], v[3]);
    for (int q = 0; q < 4; ++q) {
      const Wide sum = u[q] + v[q], diff = u[q] - v[q];
      store(a + q * l + j, Conj ? sum * c.conj : sum);
      store(b + q * l + j, Conj ? diff * c.conj : diff);
    }
  }
}

// Picks the wide form when the span fills whole vectors.
template <bool Plain, bool Conj = false>
QUOLM_FFT_STAGE void block4(T *p0, T *p1, T *p2, T *p3, DT32S l, Cplx w1,
                            Cplx w2, Cplx w3) {
  if (l % kW == 0)
    butterfliesWide<Plain, Conj>(p0, p1, p2, p3, l, w1, w2, w3);
  else
    butterflies<Plain, Conj>(p0, p1, p2, p3, l, w1, w2, w3);
}

QUOLM_FFT_STAGE void blockEighth(T *p0, T *p1, T *p2, T *p3, DT32S l, T r) {
  if (l % kW == 0)
    butterfliesEighthWide(p0, p1, p2, p3, l, r);
  else
    butterfliesEighth(p0, p1, p2, p3, l, r);
}

// One radix-4 stage of span l (in values) over N values; the twiddles of the
// block pairs come in bit-reversed order from w.
QUOLM_FFT_STAGE void radix4Stage(DT32S N, DT32S l, T *a, const T *w) {
  const DT32S m = 4 * l;
  const Cplx one = {T(1), T(0)};
  block4<true>(a, a + l, a + 2 * l, a + 3 * l, l, one, one, one);
  blockEighth(a + m, a + m + l, a + m + 2 * l, a + m + 3 * l, l, w[2]);
  const DT32S from = l == 2 ? firstStageWide(N, a, w) : 2 * m;
  for (DT32S k = from; k < N; k += 2 * m) {
    const DT32S k1 = k / m, k2 = 2 * k1;
    const Cplx w2 = {w[k1], w[k1 + 1]};
    Cplx w1 = {w[k2], w[k2 + 1]};
    Cplx w3 = {w1.re - 2 * w2.im * w1.im, 2 * w2.im * w1.re - w1.im};
    block4<false>(a + k, a + k + l, a + k + 2 * l, a + k + 3 * l, l, w1, w2,
                  w3);
    const Cplx iw2 = {-w2.im, w2.re};
    w1 = {w[k2 + 2], w[k2 + 3]};
    w3 = {w1.re - 2 * w2.re * w1.im, 2 * w2.re * w1.re - w1.im};
    T *b = a + k + m;
    block4<false>(b, b + l, b + 2 * l, b + 3 * l, l, w1, iw2, w3);
  }
}

// The radix-2 last stage: (z_j, z_j+l) <- (z_j + z_j+l, z_j - z_j+l),
// conjugated in the backward transform.
template <bool Conj>
QUOLM_FFT_STAGE void radix2Stage(T *__restrict p0, T *__restrict p1, DT32S l) {
  const T s = Conj ? T(-1) : T(1);  // exact
  for (DT32S j = 0; j < l; j += 2) {
    const T sr = p0[j] + p1[j], si = p0[j + 1] + p1[j + 1];
    const T dr = p0[j] - p1[j], di = p0[j + 1] - p1[j + 1];
    p0[j] = sr, p0[j + 1] = s * si;
    p1[j] = dr, p1[j + 1] = s * di;
  }
}

template <bool Conj>
QUOLM_FFT_STAGE void radix2StageWide(T *p0, T *p1, DT32S l) {
  const Lanes c;
  for (DT32S j = 0; j < l; j += kW) {
    const Wide a0 = load(p0 + j), a1 = load(p1 + j);
    store(p0 + j, Conj ? (a0 + a1) * c.conj : a0 + a1);
    store(p1 + j, Conj ? (a0 - a1) * c.conj : a0 - a1);
  }
}


// Complex transform of the N/2 pairs, bit reversal included (work: the
// reversal's area, used below 64 values); the backward form stores the
// complex conjugate of each result of its last stage.
template <bool Backward>
QUOLM_WIDE_CLONES void complexTransform(DT32S N, T *a, const T *w,
                                        DT32S *work) {
  DT32S l = 2;
  if (N >= 64) {
    reversedFirstStage(N, a, w);
    l = 8;
  } else if (N > 4) {
    bitReverse(N, work, a);
    if (N > 8) radix4Stage(N, 2, a, w), l = 8;
  }
  while (4 * l < N) {
    if (8 * l == N && l % kW == 0)
      return lastTwoStagesWide<Backward>(a, l, w[2]);
    radix4Stage(N, l, a, w);
    l *= 4;
  }
  const Cplx one = {T(1), T(0)};
  if (4 * l == N)
    block4<true, Backward>(a, a + l, a + 2 * l, a + 3 * l, l, one, one, one);
  else if (l % kW == 0)
    radix2StageWide<Backward>(a, a + l, l);
  else
    radix2Stage<Backward>(a, a + l, l);
}

// The split and join steps for bins j .. and their mirrors k = N - j .., kW
// values of each per vector, two vectors per round. With a set built for N
// the cosines run contiguously (stride 1), upwards for wi and downwards for
// wr, so one load of kW cosines each way serves the round; the mirrored
// values are loaded as one vector and their pairs reversed. Lanes do the
// scalar steps below exactly.
struct Mirror {
  Lanes c;
  LaneMask flip;      // pair order reversed: (kW - 2, kW - 1, .., 0, 1)
  LaneMask up[2], down[2];  // the cosines of each vector of the round
  Mirror() {
    for (DT32S i = 0; i < kW; ++i) {
      flip[i] = (kW - 2 - (i & ~1)) + (i & 1);
      for (DT32S h = 0; h < 2; ++h) {
        up[h][i] = h * kW / 2 + i / 2;
        down[h][i] = kW - 1 - h * kW / 2 - i / 2;
      }
    }
  }
};

// Runs step(lanes, A, B, wr, wi) on the values A at j and the mirrored B
// for j = 2 .. while whole rounds fit below N/2, with wr = 0.5 - cs[nc - kk]
// and wi = cs[kk] for bin kk = j/2 ..; returns the first j left for the
// scalar loop.
template <class Step>
QUOLM_FFT_STAGE DT32S mirrorWide(DT32S N, T *a, DT32S nc, const T *cs,
                                 Step step) {
  const Mirror v;
  DT32S j = 2;
  for (; j + 2 * kW <= N / 2; j += 2 * kW) {
    const Wide up = load(cs + j / 2), down = load(cs + nc - j / 2 - kW + 1);
    for (DT32S h = 0; h < 2; ++h) {
      T *pj = a + j + h * kW, *pk = a + N - (j + h * kW) - kW + 2;
      Wide A = load(pj), B = shuffle(load(pk), v.flip);
      const Wide wi = shuffle(up, v.up[h]);
      const Wide wr = splat(T(0.5)) - shuffle(down, v.down[h]);
      step(v.c, A, B, wr, wi);
      store(pj, A);
      store(pk, shuffle(B, v.flip));
    }
  }
  return j;
}

// x = (a[j] - a[k], a[j+1] + a[k+1]); split: y = w x, (a[j] - yr,
// a[j+1] - yi), (a[k] + yr, a[k+1] - yi).
QUOLM_FFT_STAGE DT32S splitWide(DT32S N, T *a, DT32S nc, const T *cs) {
  return mirrorWide(N, a, nc, cs,
                    [](const Lanes &c, Wide &A, Wide &B, const Wide &wr,
                       const Wide &wi) {
                      const Wide x = shuffle(A - B, A + B, c.evenOdd);
                      const Wide y = mulWide(c, wr, wi, x);
                      A = A - y;
                      B = shuffle(B + y, B - y, c.evenOdd);
                    });
}

// join: y = conj(w) x, (a[j] - yr, yi - a[j+1]), (a[k] + yr, yi - a[k+1]).
QUOLM_FFT_STAGE DT32S joinWide(DT32S N, T *a, DT32S nc, const T *cs) {
  return mirrorWide(N, a, nc, cs,
                    [](const Lanes &c, Wide &A, Wide &B, const Wide &wr,
                       const Wide &wi) {
                      const Wide x = shuffle(A - B, A + B, c.evenOdd);
                      const Wide p = x * wr, q = shuffle(x, c.swap) * wi;
                      const Wide y = shuffle(p + q, p - q, c.evenOdd);
                      A = shuffle(A - y, y - A, c.evenOdd);
                      B = shuffle(B + y, y - B, c.evenOdd);
                    });
}

// Forward split: turns the complex transform of the N/2 pairs into the packed
// real spectrum (DC and Nyquist are finished by the caller). The cosine table
// has nc entries for a set built for 4 nc values; the stride ks adapts it.
QUOLM_WIDE_CLONES void split(DT32S N, T *a, DT32S nc, const T *cs) {
  const DT32S m = N / 2, ks = 2 * nc / m;
  const DT32S j0 = ks == 1 ? splitWide(N, a, nc, cs) : 2;
  DT32S kk = ks * (j0 / 2 - 1);
  for (DT32S j = j0; j < m; j += 2) {
    const DT32S k = N - j;
    kk += ks;
    const T wr = T(0.5) - cs[nc - kk], wi = cs[kk];
    const T xr = a[j] - a[k], xi = a[j + 1] + a[k + 1];
    const T yr = diffOfProducts(wr, xr, wi, xi), yi = wr * xi + wi * xr;
    a[j] -= yr;
    a[j + 1] -= yi;
    a[k] += yr;
    a[k + 1] -= yi;
  }
}

// Inverse of the split, ahead of the backward complex transform.
QUOLM_WIDE_CLONES void join(DT32S N, T *a, DT32S nc, const T *cs) {
  const DT32S m = N / 2, ks = 2 * nc / m;
  a[1] = -a[1];
  const DT32S j0 = ks == 1 ? joinWide(N, a, nc, cs) : 2;
  DT32S kk = ks * (j0 / 2 - 1);
  for (DT32S j = j0; j < m; j += 2) {
    const DT32S k = N - j;
    kk += ks;
    const T wr = T(0.5) - cs[nc - kk], wi = cs[kk];
    const T xr = a[j] - a[k], xi = a[j + 1] + a[k + 1];
    const T yr = wr * xr + wi * xi, yi = diffOfProducts(wr, xi, wi, xr);
    a[j] -= yr;
    a[j + 1] = yi - a[j + 1];
    a[k] += yr;
    a[k + 1] = yi - a[k + 1];
  }
  a[m + 1] = -a[m + 1];
}

}  // namespace

void realFft(DT32S N, DT32S direction, DT32F *a, DT32S *fftWork,
             const DT32F *fftTable) {
  const DT32S nw = fftWork[0], nc = fftWork[1];
  const T *w = fftTable, *cs = fftTable + nw;
  if (direction < 0) {
    if (N >= 4) complexTransform<false>(N, a, w, fftWork + 2);
    if (N > 4) split(N, a, nc, cs);
    const T diff = a[0] - a[1];
    a[0] += a[1];
    a[1] = diff;
    return;
  }
  a[1] = T(0.5) * (a[0] - a[1]);
  a[0] -= a[1];
  if (N > 4) {
    join(N, a, nc, cs);
    complexTransform<true>(N, a, w, fftWork + 2);
  } else if (N == 4) {
    complexTransform<false>(N, a, w, fftWork + 2);  // both directions agree
  }
}

}  // namespace quolm32f
