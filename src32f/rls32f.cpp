// Recursive-least-squares adaptive transversal filter. P, the estimate of the
// inverse input correlation matrix, is held as its lower triangle, row r at
// offset r(r+1)/2; the row starts are carried as running sums in size_t, so
// the offsets cannot wrap whatever the length.
#include "quolmrls32f.h"  // first: its declarations carry the export mark
#include <string.h>

#include <limits>

#include "consts32f.h"
#include "kernels32f.h"
#include "transversal32f.h"

using namespace quolm32f;

namespace {

// Values of the whole state block (delay line, work vector, the n(n+1)/2
// values of the triangle); false when the count exceeds what the library can
// allocate and index.
bool stateSize(DT32S n, size_t &total) {
  const size_t a = size_t(n), b = size_t(n) + 1;  // n(n+1)/2 without overflow
  size_t tri;
  return sizeMul(a % 2 ? a : a / 2, a % 2 ? b / 2 : b, tri) &&
         sizeAdd(tri, 2 * a, total);
}

// Points the record into its blocks and writes the starting values: P = delta
// on the diagonal; everything else is already zero.
DT32S rlsSetUp(quolmRls *f, DT32S n, DT32F lambda, DT32F delta,
               DT32F *coefs, DT32F *state) {
  f->length = n;
  f->lambda = lambda;
  f->invLambda = DT32F(1.0 / Acc(lambda));
  f->err = DT32F(0);
  f->coefs = coefs;
  f->delayLine = state;
  f->gain = state + n;
  f->invCorr = state + 2 * size_t(n);
  size_t diag = 0;
  for (DT32S r = 0; r < n; ++r) {
    f->invCorr[diag] = delta;
    diag += size_t(r) + 2;  // from P(r, r) to P(r+1, r+1)
  }
  return 0;
}

// Shared checks of both Inits: -2 for a length below 1 or a delta outside
// 0..1 (not a number included).
DT32S rlsCheck(quolmRls *f, DT32S n, DT32F delta) {
  if (!f) return -1;
  f->length = 0;
  if (n < 1) return -2;
  if (!(delta >= DT32F(0))) return -2;
  if (delta > DT32F(1)) return -2;
  return 0;
}

// One stored partial sum of g: in the single build every addition of P*x is
// rounded to the sample type, because each partial sum lives in g[i].
inline DT32F addProduct(DT32F sum, DT32F p, Acc x) {
  return DT32F(Acc(sum) + Acc(p) * x);
}

// Row r of g = P*x, starting at offset `start` of the packed triangle: its
// stored part (j <= r), then its elements left of the diagonal, which are
// the elements above the diagonal of the earlier rows, added to their g.
QUOLM_KEEP_STORED_ROUNDING void rowOne(const DT32F *__restrict P,
                                       size_t start, DT32S r,
                                       const DT32F *__restrict x,
                                       DT32F *__restrict g) {
  const DT32F *row = P + start;
  DT32F sum = DT32F(0);
  for (DT32S j = 0; j <= r; ++j) sum = addProduct(sum, row[j], x[j]);
  const Acc xr = x[r];
  for (DT32S i = 0; i < r; ++i) g[i] = addProduct(g[i], row[i], xr);
  g[r] = sum;
}

// Four stored values of the sample type and their four wide counterparts.
// The wide passes below keep every lane a chain of its own: each addition
// runs in Acc and is rounded to the sample type by an explicit conversion,
// so each lane gives the same value the scalar chain gives.
typedef DT32F Sample4 __attribute__((vector_size(4 * sizeof(DT32F))));
typedef Acc Acc4 __attribute__((vector_size(4 * sizeof(Acc))));

// The wide helpers are always inlined, so they are built for the target of
// the function that runs them, and no call passes their vectors (hence no
// ABI concern about vectors wider than the baseline).
#define WIDE_INLINE inline __attribute__((always_inline))
#pragma GCC diagnostic ignored "-Wpsabi"

WIDE_INLINE Sample4 load4(const DT32F *p) {
  Sample4 v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Stores v rounded to the sample type.
WIDE_INLINE void store4(DT32F *p, const Acc4 &v) {
  const Sample4 s = __builtin_convertvector(v, Sample4);
  memcpy(p, &s, sizeof s);
}

// Written per lane: GCC 12 builds __builtin_convertvector of this widening
// from two half conversions, the lane form from one.
WIDE_INLINE Acc4 widen(const Sample4 &v) {
  return Acc4{Acc(v[0]), Acc(v[1]), Acc(v[2]), Acc(v[3])};
}

// sum + p*x with the sum rounded as stored, lane by lane.
WIDE_INLINE Acc4 addProducts(const Acc4 &sum, const Sample4 &p,
                             const Acc4 &x) {
  return widen(__builtin_convertvector(sum + widen(p) * x, Sample4));
}

// Columns of the 4 x 4 tile whose rows are a, b, c, d.
WIDE_INLINE void transpose4(Sample4 &a, Sample4 &b, Sample4 &c, Sample4 &d) {
  const Sample4 ab0 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
  const Sample4 ab1 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const Sample4 cd0 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
  const Sample4 cd1 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(ab0, cd0, 0, 1, 4, 5);
  b = __builtin_shufflevector(ab0, cd0, 2, 3, 6, 7);
  c = __builtin_shufflevector(ab1, cd1, 0, 1, 4, 5);
  d = __builtin_shufflevector(ab1, cd1, 2, 3, 6, 7);
}

// Rows r..r+4C-1 of g = P*x in the order of rowOne, four rows to a vector
// and C vectors side by side; r is a multiple of 4. The columns left of the
// group are read as 4 x 4 tiles turned into columns; the group's own square
// (its triangle and the elements above it) is first written out as a full
// symmetric block, column by column, and runs through the same chains.
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
  for (DT32S j = 0; j < r; j += 4) {
    const Acc4 x0 = Acc4{} + Acc(x[j]), x1 = Acc4{} + Acc(x[j + 1]);
    const Acc4 x2 = Acc4{} + Acc(x[j + 2]), x3 = Acc4{} + Acc(x[j + 3]);
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) {
      Sample4 a = load4(row[4 * c] + j), b = load4(row[4 * c + 1] + j);
      Sample4 d = load4(row[4 * c + 2] + j), e = load4(row[4 * c + 3] + j);
      transpose4(a, b, d, e);
      sum[c] = addProducts(sum[c], a, x0);
      sum[c] = addProducts(sum[c], b, x1);
      sum[c] = addProducts(sum[c], d, x2);
      sum[c] = addProducts(sum[c], e, x3);
    }
  }
  DT32F square[G][G];  // square[b][a] = M(r+a, r+b)
  for (int a = 0; a < G; ++a)
    for (int b = 0; b <= a; ++b) square[b][a] = square[a][b] = row[a][r + b];
  for (int b = 0; b < G; ++b) {
    const Acc4 xb = Acc4{} + xr[b];
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c)
      sum[c] = addProducts(sum[c], load4(&square[b][4 * c]), xb);
  }
  // Above the diagonal of earlier rows: g[i] for i < r takes the group's
  // elements of column i, in row order; C runs of four g side by side.
  DT32S i = 0;
  for (; i + G <= r; i += G) {
    Acc4 v[C];
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) v[c] = widen(load4(g + i + 4 * c));
    for (int k = 0; k < G; ++k) {
      const Acc4 xk = Acc4{} + xr[k];
#pragma GCC unroll 4
      for (int c = 0; c < C; ++c)
        v[c] = addProducts(v[c], load4(row[k] + i + 4 * c), xk);
    }
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) store4(g + i + 4 * c, v[c]);
  }
  for (; i < r; i += 4) {
    Acc4 v = widen(load4(g + i));
    for (int k = 0; k < G; ++k)
      v = addProducts(v, load4(row[k] + i), Acc4{} + xr[k]);
    store4(g + i, v);
  }
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
// Groups of 16 rows, then of 4, run wide; the last rows one by one.
QUOLM_WIDE_CLONES void invCorrTimes(
    const DT32F *P, const DT32F *x, DT32F *g, DT32S n) {
  size_t start = 0;  // offset of row r
  DT32S r = 0;
  wideGroups<4>(P, start, r, x, g, n);
  wideGroups<1>(P, start, r, x, g, n);
  for (; r < n; ++r) {
    rowOne(P, start, r, x, g);
    start += size_t(r) + 1;
  }
}

// P(i, j) = P(i, j)/lambda - k_i*g[j] for j = from..to of row i; only the
// old element is scaled by 1/lambda.
inline void updateRow(DT32F *row, const DT32F *g, DT32S from, DT32S to,
                      Acc k, Acc invLambda) {
  for (DT32S j = from; j <= to; ++j)
    row[j] = DT32F(invLambda * Acc(row[j]) - k * Acc(g[j]));
}

// Row by row: k_i = g[i]/(s + lambda), w[i] += k_i*e when adapting, and row
// i of P updated for j <= i. Four rows at a time share each widened run of
// g over the columns they all have; their corner and the last rows go one
// by one. The arithmetic of every element is the one of updateRow.
QUOLM_WIDE_CLONES void gainUpdate(quolmRls *f, bool adapt, Acc s, Acc e,
                                  Acc invLambda) {
  const DT32S n = f->length;
  const DT32F *__restrict g = f->gain;
  DT32F *__restrict w = f->coefs;
  DT32F *__restrict P = f->invCorr;
  const Acc q = s + Acc(f->lambda);
  const Acc4 invLambda4 = Acc4{} + invLambda;
  size_t start = 0;
  DT32S i = 0;
  for (; i + 4 <= n; i += 4) {
    DT32F *row[4];
    Acc k[4];
    Acc4 k4[4];
    for (int t = 0; t < 4; ++t) {
      k[t] = Acc(g[i + t]) / q;
      if (adapt) w[i + t] = DT32F(Acc(w[i + t]) + k[t] * e);
      k4[t] = Acc4{} + k[t];
      row[t] = P + start;
      start += size_t(i + t) + 1;
    }
    for (DT32S j = 0; j < i; j += 4) {
      const Acc4 gj = widen(load4(g + j));
#pragma GCC unroll 4
      for (int t = 0; t < 4; ++t)
        store4(row[t] + j, invLambda4 * widen(load4(row[t] + j)) - k4[t] * gj);
    }
    for (int t = 0; t < 4; ++t)
      updateRow(row[t], g, i, i + t, k[t], invLambda);
  }
  for (; i < n; ++i) {
    const Acc k = Acc(g[i]) / q;
    if (adapt) w[i] = DT32F(Acc(w[i]) + k * e);
    updateRow(P + start, g, 0, i, k, invLambda);
    start += size_t(i) + 1;
  }
}

// 2^(max_exponent/2) of the sample type: while P's diagonal, and so every
// element of P, stays below it, P*x and x'Px stay finite for any regressor
// whose squared norm does too.
constexpr DT32F invCorrCap() {
  DT32F c = 1;
  for (int i = 0; i < std::numeric_limits<DT32F>::max_exponent / 2; ++i)
    c *= 2;
  return c;
}

// The 1/lambda of this sample's update of P. Without excitation in some
// direction (silence above all) P grows by 1/lambda per sample until it
// overflows; once the largest diagonal element would pass the cap, P is not
// scaled (forgetting pauses) until the input brings it down again.
Acc forgetting(const quolmRls *f) {
  const DT32F *P = f->invCorr;
  DT32F largest = 0;
  size_t diag = 0;
  for (DT32S r = 0; r < f->length; ++r) {
    largest = P[diag] > largest ? P[diag] : largest;
    diag += size_t(r) + 2;
  }
  const Acc invLambda = f->invLambda;
  return invLambda * Acc(largest) < Acc(invCorrCap()) ? invLambda : 1.0;
}

// One sample: Shift moves xNew into the delay line first (the LC forms use
// the line as the caller left it); Adapt forms the error and updates the
// coefficients. P is updated either way. Returns y.
template <bool Shift, bool Adapt>
DT32F rlsStep(quolmRls *f, DT32F xNew, DT32F d) {
  const DT32S n = f->length;
  DT32F *x = f->delayLine;
  if (Shift) {
    memmove(x + 1, x, size_t(n - 1) * sizeof(DT32F));
    x[0] = xNew;
  }
  const DT32F y = DT32F(dotLinBuf32f(x, f->coefs, n));
  const Acc e = Acc(d) - Acc(y);
  if (Adapt) f->err = DT32F(e);
  invCorrTimes(f->invCorr, x, f->gain, n);
  const DT32F s = DT32F(dotLinBuf32f(x, f->gain, n));
  gainUpdate(f, Adapt, s, e, forgetting(f));
  return y;
}

}  // namespace

extern "C" {

QUOLM_API DT32S rls32fInit(quolmRls *filter, DT32S N, DT32F lambda,
                           DT32F delta) {
  const DT32S rc = rlsCheck(filter, N, delta);
  if (rc != 0) return rc;
  size_t total;
  DT32F *coefs, *state;
  if (!stateSize(N, total) ||
      !allocPair<DT32F>(size_t(N), &coefs, total, &state)) {
    filter->coefs = filter->delayLine = filter->invCorr = filter->gain =
        nullptr;
    return -3;
  }
  return rlsSetUp(filter, N, lambda, delta, coefs, state);
}

QUOLM_API DT32S rls32fInitStatic(quolmRls *filter, DT32S N, DT32F lambda,
                                 DT32F delta, DT32F *coefBuf,
                                 DT32F *stateBuf) {
  const DT32S rc = rlsCheck(filter, N, delta);
  if (rc != 0) return rc;
  if (!coefBuf || !stateBuf) return -1;
  // The caller's block may be larger than Init would allocate; its byte size
  // is checked only against size_t, and a block that size_t cannot describe
  // cannot exist.
  size_t tri, bytes;
  if (__builtin_mul_overflow(size_t(N), size_t(N) + 1, &tri) ||
      __builtin_add_overflow(tri / 2, 2 * size_t(N), &bytes) ||
      __builtin_mul_overflow(bytes, sizeof(DT32F), &bytes))
    return -2;
  memset(coefBuf, 0, size_t(N) * sizeof(DT32F));
  memset(stateBuf, 0, bytes);
  return rlsSetUp(filter, N, lambda, delta, coefBuf, stateBuf);
}

QUOLM_API DT32F rls32fFilterUpdate(quolmRls *filter, DT32F x, DT32F d) {
  return rlsStep<true, true>(filter, x, d);
}

QUOLM_API DT32F rls32fFilterOnly(quolmRls *filter, DT32F x) {
  return rlsStep<true, false>(filter, x, DT32F(0));
}

QUOLM_API DT32F rls32fLCFilterUpdate(quolmRls *filter, DT32F d) {
  return rlsStep<false, true>(filter, DT32F(0), d);
}

QUOLM_API DT32F rls32fLCFilterOnly(quolmRls *filter) {
  return rlsStep<false, false>(filter, DT32F(0), DT32F(0));
}

QUOLM_API void rls32fFree(quolmRls *filter) {
  if (!filter) return;
  freeCoefsAndDelayLine(filter);  // the state block starts at delayLine
  filter->invCorr = filter->gain = nullptr;
  filter->length = 0;
}

QUOLM_API DT32S rls32fReset(quolmRls *filter) { return resetCoefs(filter); }

QUOLM_API DT32S rls32fResetDelayLine(quolmRls *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S rls32fGetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S rls32fSetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S rls32fGetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyLinear<Dir::Get>(filter->delayLine, filter->length, values, start,
                              count, reverse);
}

QUOLM_API DT32S rls32fSetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyLinear<Dir::Set>(filter->delayLine, filter->length, values, start,
                              count, reverse);
}

// A new filter with P restarted at 0.01*I takes over the leading coefficients
// and the newest samples; on any failure the record stays as it was.
QUOLM_API DT32S rls32fResize(quolmRls *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  quolmRls tmp;
  DT32S rc = rls32fInit(&tmp, N, filter->lambda, kRlsResizeDelta);
  if (rc != 0) return rc;
  const DT32S m = filter->length < N ? filter->length : N;
  rc = rls32fSetCoef(&tmp, filter->coefs, 0, m, 0);
  if (rc == m) rc = rls32fSetDelayLine(&tmp, filter->delayLine, 0, m, 0);
  if (rc != m) {  // a copy short of m reports a code < 0
    rls32fFree(&tmp);
    return rc;
  }
  rls32fFree(filter);
  *filter = tmp;
  return 0;
}

}  // extern "C"
