// SPDX-License-Identifier: MIT
// Block LMS adaptive transversal filter: the LMS step applied to each sample
// of a block, in the four update laws.
#include "blockrun32f.h"
#include "lmsstep32f.h"
#include "quolmblms32f.h"

using namespace quolm32f;

namespace {

DT32S blmsSetUp(quolmBlms *f, DT32S N, DT32S blockLen, DT32F mu, DT32S rc) {
  if (rc == 0) blockSetUp(f, N, blockLen, mu);
  return rc;
}

// The coefficients change after every sample, exactly as blockLen single
// LMS steps would change them.
template <ErrorLaw E, Regressor R>
DT32S blmsUpdate(quolmBlms *f, const DT32F *x, const DT32F *d, DT32F *y,
                 DT32F *e) {
  const DT32S rc = blockReady(f, x, d, y, e);
  if (rc != 1) return rc;
  for (DT32S n = 0; n < f->blockLen; ++n) {
    Acc en;
    const Acc yn = lmsStep<E, R>(f, f->length, x[n], d[n], &en);
    y[n] = DT32F(yn);
    e[n] = DT32F(en);
  }
  return 0;
}

}  // namespace

extern "C" {

QUOLM_API DT32S blms32fInit(quolmBlms *filter, DT32S N, DT32S blockLen,
                            DT32F mu) {
  return blmsSetUp(filter, N, blockLen, mu,
                   initCoefsAndRing(filter, N, N >= 1 && blockLen >= 1));
}

QUOLM_API DT32S blms32fInitStatic(quolmBlms *filter, DT32S N, DT32S blockLen,
                                  DT32F mu, DT32F *coefBuf, DT32F *stateBuf) {
  return blmsSetUp(filter, N, blockLen, mu,
                   initCoefsAndRing(filter, N, N >= 1 && blockLen >= 1, true,
                                    coefBuf, stateBuf));
}

QUOLM_API DT32S blms32fFilterUpdate(quolmBlms *filter, const DT32F *x,
                                    const DT32F *d, DT32F *y, DT32F *e) {
  return blmsUpdate<ErrorLaw::Value, Regressor::Value>(filter, x, d, y, e);
}
QUOLM_API DT32S blms32fFilterUpdateSignErr(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e) {
  return blmsUpdate<ErrorLaw::Sign, Regressor::Value>(filter, x, d, y, e);
}
QUOLM_API DT32S blms32fFilterUpdateSignReg(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e) {
  return blmsUpdate<ErrorLaw::Value, Regressor::Sign>(filter, x, d, y, e);
}
QUOLM_API DT32S blms32fFilterUpdateSignSign(quolmBlms *filter, const DT32F *x,
                                            const DT32F *d, DT32F *y,
                                            DT32F *e) {
  return blmsUpdate<ErrorLaw::Sign, Regressor::Sign>(filter, x, d, y, e);
}

QUOLM_API DT32S blms32fFilterOnly(quolmBlms *filter, const DT32F *x, DT32F *y) {
  const DT32S rc = blockReady(filter, x, y);
  if (rc != 1) return rc;
  const DT32S N = filter->length;
  for (DT32S n = 0; n < filter->blockLen; ++n)
    y[n] = DT32F(dotInsertCircBuf(x[n], filter->delayLine, filter->coefs, N, N,
                                  &filter->index));
  return 0;
}

QUOLM_API void blms32fFree(quolmBlms *filter) { freeCoefsAndDelayLine(filter); }

QUOLM_API DT32S blms32fReset(quolmBlms *filter) { return resetCoefs(filter); }

QUOLM_API DT32S blms32fResetDelayLine(quolmBlms *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S blms32fGetCoef(quolmBlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S blms32fSetCoef(quolmBlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S blms32fGetDelayLine(quolmBlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S blms32fSetDelayLine(quolmBlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S blms32fResize(quolmBlms *filter, DT32S N, DT32S blockLen) {
  if (!filter) return -1;
  if (N == filter->length && blockLen == filter->blockLen) return 0;
  const DT32F mu = filter->mu;
  return resizeRecord(
      filter, [&](quolmBlms *t) { return blms32fInit(t, N, blockLen, mu); });
}

}  // extern "C"
