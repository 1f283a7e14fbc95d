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
  if (!fftTablesServe(fftWork, *M)) return -2;
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

// Both Inits: checks in their order, then the buffers (allocated, or the
// caller's zeroed) and the record.
DT32S tdlmsInit(quolmTdlms *f, DT32S N, DT32F mu, bool callerBuffers,
                DT32F *coefBuf, DT32F *stateBuf, DT32S *fftWork,
                DT32F *fftTable) {
  if (!f) return -1;
  f->length = 0;
  if (!fftTable || !fftWork || (callerBuffers && (!coefBuf || !stateBuf)))
    return -1;
  if (N < 1) return -2;
  DT32S M;
  size_t stateLen;
  const DT32S rc = tdlmsSizes(N, fftWork, &M, &stateLen);
  // Nothing is allocated for the caller's buffers: a size beyond indexing is
  // out of range there.
  if (rc != 0) return callerBuffers ? -2 : rc;
  if (!takeBlocks(callerBuffers, size_t(M), coefBuf, stateLen, stateBuf))
    return -3;
  tdlmsSetUp(f, N, M, mu, coefBuf, stateBuf, fftWork, fftTable);
  return 0;
}

// Unrolls the ring into the window, newest sample first, as the two
// contiguous stretches index..M-1 and 0..index-1.
inline void windowFromRing(quolmTdlms *f) {
  const DT32S M = f->fftSize;
  const DT32S p = f->index;
  copyVector(f->delayLine + p, f->work, M - p);
  copyVector(f->delayLine, f->work + (M - p), p);
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
  powerSpectrum(f->work, f->scratch, f->bins);
  smoothPower(kTdlmsGain, f->scratch, kTdlmsKeep, f->power, f->bins);
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

// One sample: Shift stores x in the ring and unrolls the window (the LC forms
// transform the ring as the caller left it); Adapt moves the weights. The
// bin powers track the window either way. Returns y.
template <bool Shift, bool Adapt>
DT32F tdlmsStep(quolmTdlms *f, DT32F x, DT32F d) {
  if (Shift) {
    f->delayLine[f->index] = x;
    windowFromRing(f);
  } else {
    copyVector(f->delayLine, f->work, f->fftSize);
  }
  const DT32F y = transformAndFilter(f);
  trackPower(f);
  if (Adapt) adapt(f, d, y);
  if (Shift) f->index = ringDown(f->index, f->fftSize);
  return y;
}

// Writes the time-domain taps into dst, which may be the weights themselves:
// h = M * w, w = (2/M) inverse(W) the block whose transform is W, so
// h = 2 * inverse(W) (exact scalings by powers of two); h[k] weights x(n-k).
void weightsToTaps(quolmTdlms *f, DT32F *dst) {
  if (dst != f->coefs) copyVector(f->coefs, dst, f->fftSize);
  inverse(f, dst);
  scaleVector(DT32F(2), dst, f->fftSize);
}

// The way back: W = forward(h / M), in place in the weights.
void tapsToWeights(quolmTdlms *f) {
  scaleVector(DT32F(1.0 / double(f->fftSize)), f->coefs, f->fftSize);
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

// Resize's carry: the leading taps, the newest samples by age and, when M
// is unchanged, the bin powers.
DT32S carryState(quolmTdlms *from, quolmTdlms *to) {
  if (!from->coefs || !from->work || !from->delayLine) return -1;
  const DT32S m = to->length < from->length ? to->length : from->length;
  // The old window is scratch: every call rewrites it before use.
  weightsToTaps(from, from->work);
  tapCopy<Dir::Set>(to, from->work, 0, m, 0);
  carryByAge(from->delayLine, from->fftSize, ringUp(from->index, from->fftSize),
             to->delayLine, to->fftSize, ringUp(to->index, to->fftSize));
  if (to->fftSize == from->fftSize)
    copyVector(from->power, to->power, to->bins);
  return 0;
}

}  // namespace

extern "C" {

QUOLM_API DT32S tdlms32fInit(quolmTdlms *filter, DT32S N, DT32F mu,
                             DT32S *fftWork, DT32F *fftTable) {
  return tdlmsInit(filter, N, mu, false, nullptr, nullptr, fftWork, fftTable);
}

QUOLM_API DT32S tdlms32fInitStatic(quolmTdlms *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf,
                                   DT32S *fftWork, DT32F *fftTable) {
  return tdlmsInit(filter, N, mu, true, coefBuf, stateBuf, fftWork, fftTable);
}

QUOLM_API DT32F tdlms32fFilterUpdate(quolmTdlms *filter, DT32F x, DT32F d) {
  return tdlmsStep<true, true>(filter, x, d);
}

QUOLM_API DT32F tdlms32fFilterOnly(quolmTdlms *filter, DT32F x) {
  return tdlmsStep<true, false>(filter, x, DT32F(0));
}

QUOLM_API DT32F tdlms32fLCFilterUpdate(quolmTdlms *filter, DT32F d) {
  return tdlmsStep<false, true>(filter, DT32F(0), d);
}

QUOLM_API DT32F tdlms32fLCFilterOnly(quolmTdlms *filter) {
  return tdlmsStep<false, false>(filter, DT32F(0), DT32F(0));
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
  return filter ? zeroChecked(filter->coefs, filter->fftSize) : -1;
}

QUOLM_API DT32S tdlms32fResetDelayLine(quolmTdlms *filter) {
  if (!filter || !filter->work || !filter->delayLine) return -1;
  zeroVector(filter->work, filter->fftSize);
  zeroVector(filter->delayLine, filter->fftSize);
  return 0;
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

// A new filter on the same tables, the state carried by carryState.
QUOLM_API DT32S tdlms32fResize(quolmTdlms *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  const quolmTdlms *f = filter;
  auto init = [&](quolmTdlms *t) {
    return tdlms32fInit(t, N, f->mu, f->fftWork, f->fftTable);
  };
  return resizeWith(filter, init, carryState, tdlms32fFree);
}

}  // extern "C"
