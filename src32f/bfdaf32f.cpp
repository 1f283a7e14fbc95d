// SPDX-License-Identifier: MIT
// Block frequency-domain adaptive filter: one coefficient spectrum, the
// overlap-save output of each block and a power-normalised block gradient,
// optionally constrained to L time-domain taps.
#include "consts32f.h"
#include "fdaf32f.h"
#include "quolmbfdaf32f.h"
#include "resize32f.h"

using namespace quolm32f;

namespace {

// Both Inits: checks in their order (null tables, sizes below 1, then the
// tables' size and the buffer sizes), buffers, record. The state block holds
// one input spectrum and a scratch vector of bins values.
DT32S bfdafInit(quolmBfdaf *f, DT32S N, DT32S B, DT32F mu, DT32S constrain,
                bool callerBuffers, DT32F *coefBuf, DT32F *stateBuf,
                DT32S *fftWork, DT32F *fftTable) {
  auto check = [&](FdafSizes *s) -> DT32S {
    if (!fftWork || !fftTable) return -1;
    if (B < 1 || N < 1) return -2;
    return fdafSizes(N, B, 1, false, fftWork, s);
  };
  auto setUp = [&](const FdafSizes &s, DT32F *coefs, DT32F *state) {
    f->powerGain = kBfdafGain / DT32F(B);
    fdafSetUp(f, N, B, s.M, mu, constrain, fftWork, fftTable, coefs, state,
              f->inputSpectrum, s.M, s.M / 2 + 1);
  };
  return fdafInit(f, callerBuffers, coefBuf, stateBuf, check, setUp);
}

// Window, input spectrum X and the output block from W X.
void bfdafFilter(quolmBfdaf *f, const DT32F *x, DT32F *y) {
  fdafWindow(f, f->inputSpectrum, x);
  mulSpectrum(f->coefs, f->inputSpectrum, f->work, f->bins);
  fdafOutput(f, y);
}

// GetCoef and SetCoef work on w = (2/M) inverse(W), all M values, and leave
// the taps past L as they are.
template <Dir D>
DT32S coefCopy(quolmBfdaf *f, DT32F *values, DT32S start, DT32S count,
               DT32S reverse) {
  if (!f) return -1;
  const DT32S n = copyCount(f->coefs, values, f->length, start, count);
  if (n < 1) return n;
  fdafToTime(f, f->coefs, f->fftSize);
  copyLinear<D>(f->coefs, f->length, values, start, count, reverse);
  forward(f, f->coefs);
  return n;
}

}  // namespace

extern "C" {

QUOLM_API DT32S bfdaf32fInit(quolmBfdaf *filter, DT32S N, DT32S blockLen,
                             DT32F mu, DT32S constrain, DT32S *fftWork,
                             DT32F *fftTable) {
  return bfdafInit(filter, N, blockLen, mu, constrain, false, nullptr, nullptr,
                   fftWork, fftTable);
}

QUOLM_API DT32S bfdaf32fInitStatic(quolmBfdaf *filter, DT32S N, DT32S blockLen,
                                   DT32F mu, DT32S constrain, DT32F *coefBuf,
                                   DT32F *stateBuf, DT32S *fftWork,
                                   DT32F *fftTable) {
  return bfdafInit(filter, N, blockLen, mu, constrain, true, coefBuf, stateBuf,
                   fftWork, fftTable);
}

QUOLM_API DT32S bfdaf32fFilterUpdate(quolmBfdaf *filter, DT32F *x, DT32F *d,
                                     DT32F *y, DT32F *e) {
  if (fdafReady(filter, x, d, y, e) != 0) return -1;
  quolmBfdaf *f = filter;
  bfdafFilter(f, x, y);
  fdafErrorSpectrum(f, d, y, e);
  fdafTrackPower(f, f->inputSpectrum, kBfdafKeep);
  conjSpectrum(f->inputSpectrum, f->bins);
  fdafNormalise(f, kBfdafEps);
  macSpectrum(f->work, f->inputSpectrum, f->coefs, f->bins);
  if (f->constrain) fdafConstrain(f, f->coefs);
  return 0;
}

QUOLM_API DT32S bfdaf32fFilterOnly(quolmBfdaf *filter, DT32F *x, DT32F *y) {
  if (fdafReady(filter, x, y) != 0) return -1;
  bfdafFilter(filter, x, y);
  fdafTrackPower(filter, filter->inputSpectrum, kBfdafKeep);
  return 0;
}

QUOLM_API void bfdaf32fFree(quolmBfdaf *filter) {
  if (filter) fdafFree(filter, filter->inputSpectrum);
}

QUOLM_API DT32S bfdaf32fReset(quolmBfdaf *filter) {
  return filter ? zeroChecked(filter->coefs, filter->fftSize) : -1;
}

QUOLM_API DT32S bfdaf32fResetDelayLine(quolmBfdaf *filter) {
  return filter
             ? fdafResetHistory(filter, filter->inputSpectrum, filter->fftSize)
             : -1;
}

QUOLM_API DT32S bfdaf32fGetCoef(quolmBfdaf *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bfdaf32fSetCoef(quolmBfdaf *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bfdaf32fResize(quolmBfdaf *filter, DT32S N, DT32S blockLen) {
  if (!filter) return -1;
  quolmBfdaf *f = filter;
  if (N == f->length && blockLen == f->blockLen) return 0;
  if (!f->coefs || !f->saved) return -1;
  auto init = [&](quolmBfdaf *t) {
    return bfdaf32fInit(t, N, blockLen, f->mu, f->constrain, f->fftWork,
                        f->fftTable);
  };
  auto carry = [](quolmBfdaf *from, quolmBfdaf *to) {
    return fdafCarry(from, to, from->length, to->length, to->inputSpectrum,
                     to->fftSize, coefCopy<Dir::Get>, coefCopy<Dir::Set>);
  };
  return resizeWith(f, init, carry, bfdaf32fFree);
}

}  // extern "C"
