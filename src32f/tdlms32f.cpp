// SPDX-License-Identifier: MIT
// Transform-domain LMS filter. Every sample the newest M inputs are
// transformed by the real FFT; the output is the inner product of that
// spectrum with the weight spectrum, and each bin adapts with the step size
// divided by its own smoothed power, which whitens coloured input.
#include "alloc32f.h"
#include "consts32f.h"
#include "fdaf32f.h"
#include "lmsstep32f.h"
#include "quolmtdlms32f.h"
#include "quolmvector32f.h"
#include "spectral32f.h"
#include "transversal32f.h"

using namespace quolm32f;

namespace {

// Transform size and state block length for L taps. M is the smallest power
// of two not below L, and at least 2 because the transform needs two values;
// a smaller M would hold fewer taps than GetCoef and SetCoef address.
// -2 when the caller's tables are too small for M (the transform would read
// past them), -3 when the buffers could not be indexed with DT32S.
DT32S tdlmsSizes(DT32S L, const DT32S *fftWork, DT32S *M, size_t *stateLen) {
  const DT32S e = nextPow2(L);
  if (e < 0) return -3;
  *M = e < 1 ? 2 : DT32S(1) << e;
  if (!fftTablesServe32f(fftWork, *M)) return -2;
  size_t twoM, twoBins;
  const bool fits = sizeMul(size_t(*M), 2, twoM) &&
                    sizeMul(size_t(*M / 2 + 1), 2, twoBins) &&
                    sizeAdd(twoM, twoBins, *stateLen);
  return fits ? 0 : -3;
}

// Fills the record: zero weights and delay line in the given buffers, every
// bin power at 1.
void tdlmsSetUp(quolmTdlms *f, DT32S L, DT32S M, DT32F mu, DT32F *coefs,
                DT32F *state, DT32S *fftWork, DT32F *fftTable) {
  f->length = L;
  f->fftSize = M;
  f->bins = M / 2 + 1;
  f->mu = mu;
  f->err = DT32F(0);
  f->invScale = DT32F(2.0 / double(M));
  f->index = M - 1;
  f->delayLine = state;
  f->work = state + M;
  f->power = f->work + M;
  f->scratch = f->power + f->bins;
  f->coefs = coefs;
  f->fftTable = fftTable;
  f->fftWork = fftWork;
  for (DT32S k = 0; k < f->bins; ++k) f->power[k] = DT32F(1);
}

// Unrolls the ring into the window, newest sample first, as the two
// contiguous stretches index..M-1 and 0..index-1.
inline void windowFromRing(quolmTdlms *f) {
  const DT32S M = f->fftSize;
  const DT32S p = f->index;
  copy32f(f->delayLine + p, f->work, M - p);
  copy32f(f->delayLine, f->work + (M - p), p);
}

// Transforms the window in `work` into its spectrum X and returns the output
// of the present weights W: the packed inner product, which equals the
// time-domain sum of taps times inputs. Rounded once.
inline DT32F transformAndFilter(quolmTdlms *f) {
  DT32F *X = f->work;
  const DT32F *W = f->coefs;
  forward(f, X);
  Acc acc = 0.0;
  for (DT32S k = 1; k < f->bins - 1; ++k)
    acc += 2.0 * (Acc(X[2 * k + 1]) * Acc(W[2 * k + 1]) +
                  Acc(X[2 * k]) * Acc(W[2 * k]));
  return DT32F((Acc(W[0]) * Acc(X[0]) + acc) + Acc(X[1]) * Acc(W[1]));
}

// Folds the window's power spectrum into the smoothed bin powers.
inline void trackPower(quolmTdlms *f) {
  powerSpectrum32f(f->work, f->scratch, f->bins);
  smoothPower32f(kTdlmsGain, f->scratch, kTdlmsKeep, f->power, f->bins);
}

// w += s * x with the bin's factor s kept unrounded; the sum is rounded once.
inline DT32F binStep(DT32F w, Acc s, DT32F x) {
  return DT32F(Acc(w) + s * Acc(x));
}

// Stores err = d - y and moves every bin along the window's spectrum by the
// step value divided by the bin's power. DC and Nyquist are the real values
// in X[0] and X[1] and use the first and last power.
inline void adapt(quolmTdlms *f, DT32F d, DT32F y) {
  const Acc e = Acc(d) - Acc(y);
  f->err = DT32F(e);
  const Acc g = lmsStepValue<ErrorLaw::Value>(f->mu, e);
  const Acc eps = kTdlmsEps;
  const DT32F *X = f->work;
  const DT32F *P = f->power;
  DT32F *W = f->coefs;
  const DT32S last = f->bins - 1;
  W[0] = binStep(W[0], g / (Acc(P[0]) + eps), X[0]);
  W[1] = binStep(W[1], g / (Acc(P[last]) + eps), X[1]);
  for (DT32S k = 1; k < last; ++k) {
    const Acc s = g / (Acc(P[k]) + eps);
    W[2 * k] = binStep(W[2 * k], s, X[2 * k]);
    W[2 * k + 1] = binStep(W[2 * k + 1], s, X[2 * k + 1]);
  }
}

inline void stepIndex(quolmTdlms *f) {
  f->index = f->index == 0 ? f->fftSize - 1 : f->index - 1;
}

// Writes the time-domain taps into dst, which may be the weights themselves:
// h = M * w, w = (2/M) inverse(W) the block whose transform is W, so
// h = 2 * inverse(W) (exact scalings by powers of two); h[k] weights x(n-k).
void weightsToTaps(quolmTdlms *f, DT32F *dst) {
  if (dst != f->coefs) copy32f(f->coefs, dst, f->fftSize);
  inverse(f, dst);
  scale32f(DT32F(2), dst, f->fftSize);
}

// The way back: W = forward(h / M), in place in the weights.
void tapsToWeights(quolmTdlms *f) {
  scale32f(DT32F(1.0 / double(f->fftSize)), f->coefs, f->fftSize);
  forward(f, f->coefs);
}

// Copies between values and the taps h[0..L-1]. Get converts a copy of the
// weights in the scratch window, so reading the taps leaves the weights
// exactly as they were; Set converts the weights in place and back.
template <Dir D>
DT32S tapCopy(quolmTdlms *f, DT32F *values, DT32S start, DT32S count,
              DT32S reverse) {
  if (!f) return -1;
  const DT32S n = copyCount(f->coefs, values, f->length, start, count);
  if (n < 1) return n;
  DT32F *taps = D == Dir::Get ? f->work : f->coefs;
  weightsToTaps(f, taps);
  copyLinear<D>(taps, f->length, values, start, count, reverse);
  if (D == Dir::Set) tapsToWeights(f);
  return n;
}

}  // namespace

extern "C" {

QUOLM_API DT32S tdlms32fInit(quolmTdlms *filter, DT32S N, DT32F mu,
                             DT32S *fftWork, DT32F *fftTable) {
  if (!filter) return -1;
  filter->length = 0;
  if (!fftTable || !fftWork) return -1;
  if (N < 1) return -2;
  DT32S M;
  size_t stateLen;
  const DT32S rc = tdlmsSizes(N, fftWork, &M, &stateLen);
  if (rc != 0) return rc;
  DT32F *coefs, *state;
  if (!allocPair<DT32F>(size_t(M), &coefs, stateLen, &state)) return -3;
  tdlmsSetUp(filter, N, M, mu, coefs, state, fftWork, fftTable);
  return 0;
}

QUOLM_API DT32S tdlms32fInitStatic(quolmTdlms *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf,
                                   DT32S *fftWork, DT32F *fftTable) {
  if (!filter) return -1;
  filter->length = 0;
  if (!fftTable || !fftWork || !coefBuf || !stateBuf) return -1;
  if (N < 1) return -2;
  DT32S M;
  size_t stateLen;
  // Nothing is allocated here, so a size beyond indexing is out of range.
  if (tdlmsSizes(N, fftWork, &M, &stateLen) != 0) return -2;
  zeroVector(coefBuf, M);
  zeroVector(stateBuf, DT32S(stateLen));
  tdlmsSetUp(filter, N, M, mu, coefBuf, stateBuf, fftWork, fftTable);
  return 0;
}

QUOLM_API DT32F tdlms32fFilterUpdate(quolmTdlms *filter, DT32F x, DT32F d) {
  filter->delayLine[filter->index] = x;
  windowFromRing(filter);
  const DT32F y = transformAndFilter(filter);
  trackPower(filter);
  adapt(filter, d, y);
  stepIndex(filter);
  return y;
}

QUOLM_API DT32F tdlms32fFilterOnly(quolmTdlms *filter, DT32F x) {
  filter->delayLine[filter->index] = x;
  windowFromRing(filter);
  const DT32F y = transformAndFilter(filter);
  trackPower(filter);
  stepIndex(filter);
  return y;
}

QUOLM_API DT32F tdlms32fLCFilterUpdate(quolmTdlms *filter, DT32F d) {
  copy32f(filter->delayLine, filter->work, filter->fftSize);
  const DT32F y = transformAndFilter(filter);
  trackPower(filter);
  adapt(filter, d, y);
  return y;
}

QUOLM_API DT32F tdlms32fLCFilterOnly(quolmTdlms *filter) {
  copy32f(filter->delayLine, filter->work, filter->fftSize);
  const DT32F y = transformAndFilter(filter);
  trackPower(filter);
  return y;
}

QUOLM_API void tdlms32fFree(quolmTdlms *filter) {
  if (!filter) return;
  freeCoefsAndDelayLine(filter);  // the state block starts at delayLine
  filter->work = nullptr;
  filter->power = nullptr;
  filter->scratch = nullptr;
  filter->length = 0;
}

QUOLM_API DT32S tdlms32fReset(quolmTdlms *filter) {
  return filter ? zeroVector(filter->coefs, filter->fftSize) : -1;
}

QUOLM_API DT32S tdlms32fResetDelayLine(quolmTdlms *filter) {
  if (!filter || !filter->work || !filter->delayLine) return -1;
  zeroVector(filter->work, filter->fftSize);
  return zeroVector(filter->delayLine, filter->fftSize);
}

QUOLM_API DT32S tdlms32fGetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return tapCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S tdlms32fSetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return tapCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S tdlms32fGetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyDelayLine<Dir::Get>(filter->delayLine, filter->fftSize,
                                 filter->index, values, start, count, reverse);
}

QUOLM_API DT32S tdlms32fSetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyDelayLine<Dir::Set>(filter->delayLine, filter->fftSize,
                                 filter->index, values, start, count, reverse);
}

// A new filter on the same tables takes the leading taps, the newest samples
// by age and, when M is unchanged, the bin powers.
QUOLM_API DT32S tdlms32fResize(quolmTdlms *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  quolmTdlms tmp;
  const DT32S rc =
      tdlms32fInit(&tmp, N, filter->mu, filter->fftWork, filter->fftTable);
  if (rc != 0) return rc;
  if (!filter->coefs || !filter->work || !filter->delayLine) {
    tdlms32fFree(&tmp);
    return -1;
  }
  const DT32S m = N < filter->length ? N : filter->length;
  weightsToTaps(filter, filter->work);
  tdlms32fSetCoef(&tmp, filter->work, 0, m, 0);
  carryByAge(filter->delayLine, filter->fftSize,
             (filter->index + 1) % filter->fftSize, tmp.delayLine,
             tmp.fftSize, 0);
  if (tmp.fftSize == filter->fftSize)
    copy32f(filter->power, tmp.power, tmp.bins);
  tdlms32fFree(filter);
  *filter = tmp;
  return 0;
}

}  // extern "C"
