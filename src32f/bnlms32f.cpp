// SPDX-License-Identifier: MIT
// Block NLMS adaptive transversal filter: per sample of a block, the output,
// the running power of the newest input and a step normalised by it.
#include <limits>

#include "blockrun32f.h"
#include "consts32f.h"
#include "lmsstep32f.h"
#include "quolmbnlms32f.h"

using namespace quolm32f;

namespace {

DT32S bnlmsSetUp(quolmBnlms *f, DT32S N, DT32S blockLen, DT32F mu, DT32S rc) {
  if (rc != 0) return rc;
  blockSetUp(f, N, blockLen, mu);
  f->power = DT32F(1);
  return 0;
}

// Folds x into the power estimate, restarting a vanished estimate from 1 as
// the NLMS filter does (nlms32f.cpp says why).
inline void trackPower(quolmBnlms *f, DT32F x) {
  if (__builtin_expect(f->power < std::numeric_limits<DT32F>::min(), 0) &&
      x != DT32F(0))
    f->power = DT32F(1);
  f->power = DT32F(Acc(kBnlmsGain) * Acc(x) * Acc(x) +
                   Acc(kBnlmsKeep) * Acc(f->power));
}

// Stores x at the write slot, steps the ring and returns the output with the
// present coefficients; then tracks x's power.
inline Acc bnlmsFilter(quolmBnlms *f, DT32F x) {
  const DT32S N = f->length;
  const Acc y = dotInsertCircBuf(x, f->delayLine, f->coefs, N, N, &f->index);
  trackPower(f, x);
  return y;
}

}  // namespace

extern "C" {

QUOLM_API DT32S bnlms32fInit(quolmBnlms *filter, DT32S N, DT32S blockLen,
                             DT32F mu) {
  return bnlmsSetUp(filter, N, blockLen, mu,
                    initCoefsAndRing(filter, N, N >= 1 && blockLen >= 1));
}

QUOLM_API DT32S bnlms32fInitStatic(quolmBnlms *filter, DT32S N, DT32S blockLen,
                                   DT32F mu, DT32F *coefBuf, DT32F *stateBuf) {
  return bnlmsSetUp(filter, N, blockLen, mu,
                    initCoefsAndRing(filter, N, N >= 1 && blockLen >= 1, true,
                                     coefBuf, stateBuf));
}

QUOLM_API DT32S bnlms32fFilterUpdate(quolmBnlms *filter, const DT32F *x,
                                     const DT32F *d, DT32F *y, DT32F *e) {
  const DT32S rc = blockReady(filter, x, d, y, e);
  if (rc != 1) return rc;
  const DT32S N = filter->length;
  for (DT32S n = 0; n < filter->blockLen; ++n) {
    const DT32F xn = x[n], dn = d[n];
    trackPower(filter, xn);
    const NlmsRule rule{filter->mu, dn,
                        Acc(filter->power) + Acc(kBnlmsEps)};
    const Acc yn = dotInsertAdaptCirc<Regressor::Value>(
        xn, filter->delayLine, filter->coefs, N, N, &filter->index, rule);
    y[n] = DT32F(yn);
    e[n] = DT32F(Acc(dn) - yn);
  }
  return 0;
}

QUOLM_API DT32S bnlms32fFilterOnly(quolmBnlms *filter, const DT32F *x,
                                   DT32F *y) {
  const DT32S rc = blockReady(filter, x, y);
  if (rc != 1) return rc;
  for (DT32S n = 0; n < filter->blockLen; ++n)
    y[n] = DT32F(bnlmsFilter(filter, x[n]));
  return 0;
}

QUOLM_API void bnlms32fFree(quolmBnlms *filter) {
  freeCoefsAndDelayLine(filter);
}

QUOLM_API DT32S bnlms32fReset(quolmBnlms *filter) { return resetCoefs(filter); }

QUOLM_API DT32S bnlms32fResetDelayLine(quolmBnlms *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S bnlms32fGetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bnlms32fSetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bnlms32fGetDelayLine(quolmBnlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bnlms32fSetDelayLine(quolmBnlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S bnlms32fResize(quolmBnlms *filter, DT32S N, DT32S blockLen) {
  if (!filter) return -1;
  if (N == filter->length && blockLen == filter->blockLen) return 0;
  const DT32F mu = filter->mu;
  const DT32F power = filter->power;
  const DT32S rc = resizeRecord(
      filter, [&](quolmBnlms *t) { return bnlms32fInit(t, N, blockLen, mu); });
  if (rc == 0) filter->power = power;
  return rc;
}

}  // extern "C"
