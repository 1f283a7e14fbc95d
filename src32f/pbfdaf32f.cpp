// SPDX-License-Identifier: MIT
// Partitioned-block frequency-domain adaptive filter: P coefficient spectra,
// a ring of the last P input spectra (the spectral delay line) and one
// power-normalised error spectrum per block shared by every partition.
#include "consts32f.h"
#include "fdaf32f.h"
#include "quolmpbfdaf32f.h"
#include "resize32f.h"

using namespace quolm32f;

namespace {

// Both Inits: checks in their order (null tables, sizes below 1, then the
// tables' size and the buffer sizes), buffers, record.
DT32S pbfdafInit(quolmPbfdaf *f, DT32S N, DT32S B, DT32S P, DT32F mu,
                 DT32S constrain, bool callerBuffers, DT32F *coefBuf,
                 DT32F *stateBuf, DT32S *fftWork, DT32F *fftTable) {
  auto check = [&](FdafSizes *s) -> DT32S {
    if (!fftWork || !fftTable) return -1;
    if (B < 1 || N < 1 || P < 1) return -2;
    return fdafSizes(N, B, P, true, fftWork, s);
  };
  auto setUp = [&](const FdafSizes &s, DT32F *coefs, DT32F *state) {
    f->partitions = P;
    f->specLength = DT32S(s.coefLen);
    f->powerGain = kPbfdafGain / DT32F(B);
    f->index = (P - 1) * (s.M / 2);
    fdafSetUp(f, N, B, s.M, mu, constrain, fftWork, fftTable, coefs, state,
              f->inputSpectra, f->specLength, s.M);
  };
  return fdafInit(f, callerBuffers, coefBuf, stateBuf, check, setUp);
}

// Input spectrum of q blocks before the current one (q = 0: the slot at
// index).
DT32F *spectrumAt(const quolmPbfdaf *f, DT32S q) {
  const DT32S half = f->fftSize / 2;
  return f->inputSpectra +
         2 * ringAdd(f->index, q * half, f->partitions * half);
}

// Window of the new block into the slot at index, its spectrum, and the
// output block from every partition's product with its input spectrum.
void pbfdafFilter(quolmPbfdaf *f, const DT32F *x, DT32F *y) {
  const DT32S M = f->fftSize;
  fdafWindow(f, spectrumAt(f, 0), x);
  mulSpectrum(f->coefs, spectrumAt(f, 0), f->work, f->bins);
  for (DT32S p = 1; p < f->partitions; ++p)
    macSpectrum(f->coefs + p * M, spectrumAt(f, p), f->work, f->bins);
  fdafOutput(f, y);
}

void stepIndex(quolmPbfdaf *f) {
  const DT32S half = f->fftSize / 2;  // the index counts pairs, M/2 a spectrum
  f->index = ringDown(f->index / half, f->partitions) * half;
}

// GetCoef and SetCoef: every partition goes to its L constrained taps, the
// requested elements g = p*L + i are copied, and it returns to the spectrum.
template <Dir D>
DT32S coefCopy(quolmPbfdaf *f, DT32F *values, DT32S start, DT32S count,
               DT32S reverse) {
  if (!f) return -1;
  const DT32S L = f->length;
  const DT32S n = copyCount(f->coefs, values, f->partitions * L, start, count);
  if (n < 1) return n;
  for (DT32S p = 0; p < f->partitions; ++p) {
    DT32F *W = f->coefs + p * f->fftSize;
    fdafToTime(f, W, L);
    zeroVector(W + L, f->padLength);
    const DT32S lo = start > p * L ? start : p * L;
    const DT32S hi = start + n < (p + 1) * L ? start + n : (p + 1) * L;
    if (lo < hi) {
      DT32F *seg = values + (reverse ? n - (hi - start) : lo - start);
      copyLinear<D>(W, L, seg, lo - p * L, hi - lo, reverse);
    }
    forward(f, W);
  }
  return n;
}

// Resize's carry: what fdafCarry moves and, at an unchanged M, the newest
// spectra, each where the new ring expects it. What carries over is a window:
// the new ring holds the transform of (2/M) inverse(X), which may differ from
// X in its last bits, so each spectrum goes to the time domain and back.
DT32S carryState(quolmPbfdaf *from, quolmPbfdaf *to) {
  const DT32S rc = fdafCarry(
      from, to, from->partitions * from->length, to->partitions * to->length,
      to->inputSpectra, to->specLength, coefCopy<Dir::Get>, coefCopy<Dir::Set>);
  if (rc != 0 || to->fftSize != from->fftSize) return rc;
  const DT32S P =
      from->partitions < to->partitions ? from->partitions : to->partitions;
  for (DT32S q = 0; q < P; ++q) {
    DT32F *slot = spectrumAt(to, q);
    copyVector(spectrumAt(from, q), slot, to->fftSize);
    fdafToTime(to, slot, to->fftSize);
    forward(to, slot);
  }
  return 0;
}

}  // namespace

extern "C" {

QUOLM_API DT32S pbfdaf32fInit(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                              DT32S partitions, DT32F mu, DT32S constrain,
                              DT32S *fftWork, DT32F *fftTable) {
  return pbfdafInit(filter, N, blockLen, partitions, mu, constrain, false,
                    nullptr, nullptr, fftWork, fftTable);
}

QUOLM_API DT32S pbfdaf32fInitStatic(quolmPbfdaf *filter, DT32S N,
                                    DT32S blockLen, DT32S partitions, DT32F mu,
                                    DT32S constrain, DT32F *coefBuf,
                                    DT32F *stateBuf, DT32S *fftWork,
                                    DT32F *fftTable) {
  return pbfdafInit(filter, N, blockLen, partitions, mu, constrain, true,
                    coefBuf, stateBuf, fftWork, fftTable);
}

QUOLM_API DT32S pbfdaf32fFilterUpdate(quolmPbfdaf *filter, DT32F *x, DT32F *d,
                                      DT32F *y, DT32F *e) {
  if (fdafReady(filter, x, d, y, e) != 0) return -1;
  quolmPbfdaf *f = filter;
  pbfdafFilter(f, x, y);
  fdafErrorSpectrum(f, d, y, e);
  fdafTrackPower(f, spectrumAt(f, 0), kPbfdafKeep);
  fdafNormalise(f, kPbfdafEps);
  for (DT32S p = 0; p < f->partitions; ++p) {
    DT32F *W = f->coefs + p * f->fftSize;
    conjCopySpectrum(spectrumAt(f, p), f->scratch, f->bins);
    macSpectrum(f->work, f->scratch, W, f->bins);
    if (f->constrain) fdafConstrain(f, W);
  }
  stepIndex(f);
  return 0;
}

QUOLM_API DT32S pbfdaf32fFilterOnly(quolmPbfdaf *filter, DT32F *x, DT32F *y) {
  if (fdafReady(filter, x, y) != 0) return -1;
  pbfdafFilter(filter, x, y);
  fdafTrackPower(filter, spectrumAt(filter, 0), kPbfdafKeep);
  stepIndex(filter);
  return 0;
}

QUOLM_API void pbfdaf32fFree(quolmPbfdaf *filter) {
  if (filter) fdafFree(filter, filter->inputSpectra);
}

QUOLM_API DT32S pbfdaf32fReset(quolmPbfdaf *filter) {
  return filter ? zeroChecked(filter->coefs, filter->specLength) : -1;
}

QUOLM_API DT32S pbfdaf32fResetDelayLine(quolmPbfdaf *filter) {
  return filter ? fdafResetHistory(filter, filter->inputSpectra,
                                   filter->specLength)
                : -1;
}

QUOLM_API DT32S pbfdaf32fGetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S pbfdaf32fSetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S pbfdaf32fResize(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                                DT32S partitions) {
  if (!filter) return -1;
  quolmPbfdaf *f = filter;
  if (N == f->length && blockLen == f->blockLen && partitions == f->partitions)
    return 0;
  if (!f->coefs || !f->saved) return -1;
  auto init = [&](quolmPbfdaf *t) {
    return pbfdaf32fInit(t, N, blockLen, partitions, f->mu, f->constrain,
                         f->fftWork, f->fftTable);
  };
  return resizeWith(f, init, carryState, pbfdaf32fFree);
}

}  // extern "C"
