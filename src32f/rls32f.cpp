// Recursive-least-squares adaptive transversal filter. P, the estimate of the
// inverse input correlation matrix, is held as its lower triangle, row r at
// offset r(r+1)/2; the row starts are carried as running sums in size_t, so
// the offsets cannot wrap whatever the length.
#include "quolmrls32f.h"  // first: its declarations carry the export mark
#include <string.h>

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

// Rows handled side by side in g = P*x: their sums are independent chains.
constexpr DT32S kRows = 8;

// One stored partial sum of g: in the single build every addition of P*x is
// rounded to the sample type, because each partial sum lives in g[i].
inline DT32F addProduct(DT32F sum, DT32F p, Acc x) {
  return DT32F(Acc(sum) + Acc(p) * x);
}

// Rows r..r+G-1 of g = P*x, row r starting at offset `start` of the packed
// triangle. Each row first completes its own stored part (j <= its index),
// the G sums side by side; then the rows add their elements left of the
// diagonal, which are the elements above the diagonal of the earlier rows,
// to those rows' g in order of the adding row, all G in one vectorisable
// pass over the earlier g.
template <int G>
QUOLM_KEEP_STORED_ROUNDING inline void rowGroup(const DT32F *__restrict P,
                                                size_t start, DT32S r,
                                                const DT32F *__restrict x,
                                                DT32F *__restrict g) {
  const DT32F *row[G];
  DT32F sum[G];
  Acc xr[G];
#pragma GCC unroll 16
  for (int k = 0; k < G; ++k) {
    row[k] = P + start;
    start += size_t(r + k) + 1;
    sum[k] = DT32F(0);
    xr[k] = x[r + k];
  }
  for (DT32S j = 0; j <= r; ++j) {  // the columns every row of the group has
    const Acc xj = x[j];
#pragma GCC unroll 16
    for (int k = 0; k < G; ++k) sum[k] = addProduct(sum[k], row[k][j], xj);
  }
  for (int k = 1; k < G; ++k)  // the rest of the longer rows
    for (int j = 1; j <= k; ++j)
      sum[k] = addProduct(sum[k], row[k][r + j], x[r + j]);
  for (DT32S i = 0; i < r; ++i) {  // above the diagonal of earlier rows
    DT32F v = g[i];
#pragma GCC unroll 16
    for (int k = 0; k < G; ++k) v = addProduct(v, row[k][i], xr[k]);
    g[i] = v;
  }
  for (int t = 0; t < G - 1; ++t)  // ... and of the group's own rows
    for (int k = t + 1; k < G; ++k)
      sum[t] = addProduct(sum[t], row[k][r + t], xr[k]);
  for (int k = 0; k < G; ++k) g[r + k] = sum[k];
}

// g = P*x for the packed lower triangle P of an n x n matrix. g[i] sums
// P(i, j) * x[j] over j = 0..n-1 in increasing j: first its stored row
// (j <= i), then the elements above the diagonal, read as column i of the
// rows j > i. Visiting the rows in order and letting each add its part left
// of the diagonal to the earlier g keeps exactly that order for every g[i].
QUOLM_KEEP_STORED_ROUNDING
void invCorrTimes(const DT32F *P, const DT32F *x, DT32F *g, DT32S n) {
  size_t start = 0;  // offset of row r
  DT32S r = 0;
  for (; r + kRows <= n; r += kRows) {
    rowGroup<kRows>(P, start, r, x, g);
    start += size_t(kRows) * size_t(r) + size_t(kRows) * (kRows + 1) / 2;
  }
  for (; r < n; ++r) {
    rowGroup<1>(P, start, r, x, g);
    start += size_t(r) + 1;
  }
}

// Row by row: k_i = g[i]/(s + lambda), w[i] += k_i*e when adapting, and
// P(i, j) = P(i, j)/lambda - k_i*g[j] for j <= i (only the old element is
// scaled by 1/lambda).
template <bool Adapt>
void gainUpdate(quolmRls *f, Acc s, Acc e) {
  const DT32S n = f->length;
  const DT32F *__restrict g = f->gain;
  DT32F *__restrict w = f->coefs;
  DT32F *__restrict P = f->invCorr;
  const Acc q = s + Acc(f->lambda);
  const Acc invLambda = f->invLambda;
  size_t start = 0;
  for (DT32S i = 0; i < n; ++i) {
    const Acc k = Acc(g[i]) / q;
    if (Adapt) w[i] = DT32F(Acc(w[i]) + k * e);
    DT32F *row = P + start;
    for (DT32S j = 0; j <= i; ++j)
      row[j] = DT32F(invLambda * Acc(row[j]) - k * Acc(g[j]));
    start += size_t(i) + 1;
  }
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
  gainUpdate<Adapt>(f, s, e);
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
