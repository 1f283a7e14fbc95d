/* SPDX-License-Identifier: MIT */
// The block steps shared by the frequency-domain block filters (BFDAF and the
// partitioned PBFDAF): sizing, overlap-save windowing, output and error
// spectra, the power-normalised gradient step and the gradient constraint.
// Templates over either record (fields fftSize, bins, blockLen, length,
// saveLength, saved, work, scratch, power, powerGain, mu, invScale, fftWork,
// fftTable).
#ifndef QUOLM_FDAF32F_H
#define QUOLM_FDAF32F_H

#include <stdint.h>
#include <stdlib.h>

#include "alloc32f.h"
#include "fft32f.h"
#include "kernels32f.h"
#include "spectral32f.h"
#include "vcopy32f.h"

namespace quolm32f {

// Sizes of a block filter with P partitions of L taps and blocks of B
// samples. The FFT size M is the smallest power of two >= L + B - 1, and at
// least 2 since the transform works on pairs (L = B = 1 would give 1).
struct FdafSizes {
  DT32S M = 0;
  size_t coefLen = 0;   // P*M
  size_t stateLen = 0;  // (M - B) + P*M + M + scratchLen + bins
};

// Sizes for L, B, P >= 1 whose scratch vector holds a whole spectrum (M
// values) or one value per bin, with the checks every Init makes after its
// pointer and range checks: -2 when the caller's tables were built for fewer
// than M values, -3 when a buffer cannot be sized; else 0.
inline DT32S fdafSizes(DT32S L, DT32S B, DT32S P, bool spectrumScratch,
                       const DT32S *fftWork, FdafSizes *s) {
  const int64_t need = int64_t(L) + B - 1;
  int64_t M = 2;
  while (M < need) M *= 2;
  if (M > (int64_t(1) << 30)) return -3;
  s->M = DT32S(M);
  if (!fftTablesServe(fftWork, s->M)) return -2;
  const size_t m = size_t(M), bins = m / 2 + 1;
  size_t t1, t2, t3;
  if (!sizeMul(size_t(P), m, s->coefLen) ||
      !sizeAdd(s->coefLen, m - size_t(B), t1) || !sizeAdd(t1, m, t2) ||
      !sizeAdd(t2, spectrumScratch ? m : bins, t3) ||
      !sizeAdd(t3, bins, s->stateLen))
    return -3;
  return 0;
}

// Init and InitStatic of either record. `check(&sizes)` makes the family's
// checks in its order and sizes the buffers; the buffers are then allocated
// (callerBuffers false) or the caller's are zeroed, and `setUp(sizes, coefs,
// state)` fills the record. A failure leaves length 0 and nothing allocated.
template <class R, class Check, class SetUp>
DT32S fdafInit(R *f, bool callerBuffers, DT32F *coefBuf, DT32F *stateBuf,
               Check check, SetUp setUp) {
  if (!f) return -1;
  f->length = 0;
  if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
  FdafSizes s;
  const DT32S rc = check(&s);
  if (rc != 0) return rc;
  if (!takeBlocks(callerBuffers, s.coefLen, coefBuf, s.stateLen, stateBuf))
    return -3;
  setUp(s, coefBuf, stateBuf);
  return 0;
}

// The fields both records set alike, and the state block laid out as saved
// (M - B), the input spectra (specLen), work (M), scratch (scratchLen) and
// power (bins, starting at 1). powerGain is the family's.
template <class R>
void fdafSetUp(R *f, DT32S L, DT32S B, DT32S M, DT32F mu, DT32S constrain,
               DT32S *fftWork, DT32F *fftTable, DT32F *coefs, DT32F *state,
               DT32F *&spectra, DT32S specLen, DT32S scratchLen) {
  f->length = L;
  f->blockLen = B;
  f->fftSize = M;
  f->bins = M / 2 + 1;
  f->constrain = constrain != 0;
  f->saveLength = M - B;
  f->padLength = M - L;
  f->mu = mu;
  f->invScale = DT32F(2) / DT32F(M);
  f->fftWork = fftWork;
  f->fftTable = fftTable;
  f->coefs = coefs;
  f->saved = state;
  spectra = f->saved + f->saveLength;
  f->work = spectra + specLen;
  f->scratch = f->work + M;
  f->power = f->scratch + scratchLen;
  for (DT32S k = 0; k < f->bins; ++k) f->power[k] = DT32F(1);
}

// Checks of a block call: -1 for a null record, a freed one or a null block.
template <class R, class... Blocks>
DT32S fdafReady(const R *f, const Blocks *...blocks) {
  return f && f->coefs && f->saved && (... && blocks) ? 0 : -1;
}

// Free of an Init-made record: both blocks go, every pointer is cleared so
// that later Reset and copies report -1.
template <class R>
void fdafFree(R *f, DT32F *&spectra) {
  free(f->coefs);
  free(f->saved);
  f->coefs = f->saved = spectra = f->work = f->power = f->scratch = nullptr;
  f->length = 0;
}

// Zeroes the input history: the saved samples and specLen spectrum values.
template <class R>
DT32S fdafResetHistory(R *f, DT32F *spectra, DT32S specLen) {
  if (!spectra || !f->saved) return -1;
  zeroVector(spectra, specLen);
  zeroVector(f->saved, f->saveLength);
  return 0;
}

template <class R>
inline void forward(R *f, DT32F *v) {
  realFft(f->fftSize, -1, v, f->fftWork, f->fftTable);
}

template <class R>
inline void inverse(R *f, DT32F *v) {
  realFft(f->fftSize, 1, v, f->fftWork, f->fftTable);
}

// Overlap-save window of the new block in `slot` (saved samples, then x),
// the newest M - B samples kept for the next block, and its spectrum.
template <class R>
void fdafWindow(R *f, DT32F *slot, const DT32F *x) {
  const DT32S keep = f->saveLength;
  copyVector(f->saved, slot, keep);
  copyVector(x, slot + keep, f->blockLen);
  copyVector(slot + f->blockLen, f->saved, keep);
  forward(f, slot);
}

// y = the last B samples of the inverse of the output spectrum in work.
template <class R>
void fdafOutput(R *f, DT32F *y) {
  inverse(f, f->work);
  copyVector(f->work + f->saveLength, y, f->blockLen);
  scaleVector(f->invScale, y, f->blockLen);
}

// e = d - y and the spectrum of the error window (zeros, then e) in work.
template <class R>
void fdafErrorSpectrum(R *f, const DT32F *d, const DT32F *y, DT32F *e) {
  subtractVector(y, d, e, f->blockLen);
  zeroVector(f->work, f->saveLength);
  copyVector(e, f->work + f->saveLength, f->blockLen);
  forward(f, f->work);
}

// Smooths the per-bin power estimate with the power spectrum of X.
template <class R>
void fdafTrackPower(R *f, const DT32F *X, DT32F keep) {
  powerSpectrum(X, f->scratch, f->bins);
  smoothPower(f->powerGain, f->scratch, keep, f->power, f->bins);
}

// The gradient step spectrum: error spectrum in work divided per bin by the
// smoothed power and scaled by mu.
template <class R>
void fdafNormalise(R *f, DT32F eps) {
  normSpectrum(f->power, eps, f->work, f->bins);
  scaleComplex(f->mu, f->work, f->fftSize / 2);
}

// Coefficient spectrum W to time-domain taps w = (2/M) inverse(W) over its
// first `scaled` values (the rest stay scaled by M/2 unless zeroed).
template <class R>
void fdafToTime(R *f, DT32F *W, DT32S scaled) {
  inverse(f, W);
  scaleVector(f->invScale, W, scaled);
}

// Keeps W at L time-domain taps: w[L..M-1] = 0.
template <class R>
void fdafConstrain(R *f, DT32F *W) {
  fdafToTime(f, W, f->length);
  zeroVector(W + f->length, f->padLength);
  forward(f, W);
}

// Resize's carry: the newest saved samples, the leading taps through the
// family's coefficient copies and, at an unchanged M, the power estimate. The
// taps travel through the new record's spectra (unused until its first block,
// zeroed again after), never through the old record's state.
template <class R, class Copy>
DT32S fdafCarry(R *from, R *to, DT32S oldTaps, DT32S newTaps, DT32F *spectra,
                DT32S specLen, Copy get, Copy set) {
  const DT32S s =
      from->saveLength < to->saveLength ? from->saveLength : to->saveLength;
  copyVector(from->saved + from->saveLength - s, to->saved + to->saveLength - s,
             s);
  const DT32S m = newTaps < oldTaps ? newTaps : oldTaps;
  get(from, spectra, 0, m, 0);
  const DT32S n = set(to, spectra, 0, m, 0);
  zeroVector(spectra, specLen);
  if (n != m) return n;
  if (to->fftSize == from->fftSize)
    copyVector(from->power, to->power, to->bins);
  return 0;
}

}  // namespace quolm32f

#endif
