// SPDX-License-Identifier: MIT
// LMS adaptive transversal filter: four update laws, circular and LC forms.
#include "lmsstep32f.h"
#include "quolmlms32f.h"
#include "transversal32f.h"

using namespace quolm32f;

namespace {

DT32S lmsSetUp(quolmLms *f, DT32S N, DT32F mu, DT32S rc) {
  if (rc != 0) return rc;
  f->length = N;
  f->mu = mu;
  f->err = DT32F(0);
  f->index = N - 1;
  return 0;
}

template <ErrorLaw E, Regressor R>
DT32F lmsUpdate(quolmLms *f, DT32F x, DT32F d) {
  Acc e;
  const Acc y = lmsStep<E, R>(f, f->length, x, d, &e);
  f->err = DT32F(e);
  return DT32F(y);
}

template <ErrorLaw E, Regressor R>
DT32F lmsLCUpdate(quolmLms *f, DT32F d) {
  const Acc y = dotLinBuf(f->delayLine, f->coefs, f->length);
  const Acc e = Acc(d) - y;
  f->err = DT32F(e);
  addScaled<R>(f->coefs, f->delayLine, lmsStepValue<E>(f->mu, e), f->length);
  return DT32F(y);
}

}  // namespace

extern "C" {

QUOLM_API DT32S lms32fInit(quolmLms *filter, DT32S N, DT32F mu) {
  return lmsSetUp(filter, N, mu, initCoefsAndRing(filter, N, N >= 1));
}

QUOLM_API DT32S lms32fInitStatic(quolmLms *filter, DT32S N, DT32F mu,
                                 DT32F *coefBuf, DT32F *stateBuf) {
  return lmsSetUp(filter, N, mu,
                  initCoefsAndRing(filter, N, N >= 1, true, coefBuf, stateBuf));
}

QUOLM_API DT32F lms32fFilterUpdate(quolmLms *filter, DT32F x, DT32F d) {
  return lmsUpdate<ErrorLaw::Value, Regressor::Value>(filter, x, d);
}
QUOLM_API DT32F lms32fFilterUpdateSignErr(quolmLms *filter, DT32F x, DT32F d) {
  return lmsUpdate<ErrorLaw::Sign, Regressor::Value>(filter, x, d);
}
QUOLM_API DT32F lms32fFilterUpdateSignReg(quolmLms *filter, DT32F x, DT32F d) {
  return lmsUpdate<ErrorLaw::Value, Regressor::Sign>(filter, x, d);
}
QUOLM_API DT32F lms32fFilterUpdateSignSign(quolmLms *filter, DT32F x,
                                           DT32F d) {
  return lmsUpdate<ErrorLaw::Sign, Regressor::Sign>(filter, x, d);
}

QUOLM_API DT32F lms32fLCFilterUpdate(quolmLms *filter, DT32F d) {
  return lmsLCUpdate<ErrorLaw::Value, Regressor::Value>(filter, d);
}
QUOLM_API DT32F lms32fLCFilterUpdateSignErr(quolmLms *filter, DT32F d) {
  return lmsLCUpdate<ErrorLaw::Sign, Regressor::Value>(filter, d);
}
QUOLM_API DT32F lms32fLCFilterUpdateSignReg(quolmLms *filter, DT32F d) {
  return lmsLCUpdate<ErrorLaw::Value, Regressor::Sign>(filter, d);
}
QUOLM_API DT32F lms32fLCFilterUpdateSignSign(quolmLms *filter, DT32F d) {
  return lmsLCUpdate<ErrorLaw::Sign, Regressor::Sign>(filter, d);
}

QUOLM_API DT32F lms32fFilterOnly(quolmLms *filter, DT32F x) {
  return DT32F(dotInsertCircBuf(x, filter->delayLine, filter->coefs,
                                filter->length, filter->length,
                                &filter->index));
}

QUOLM_API DT32F lms32fLCFilterOnly(quolmLms *filter) {
  return DT32F(dotLinBuf(filter->delayLine, filter->coefs, filter->length));
}

QUOLM_API void lms32fFree(quolmLms *filter) { freeCoefsAndDelayLine(filter); }

QUOLM_API DT32S lms32fReset(quolmLms *filter) { return resetCoefs(filter); }

QUOLM_API DT32S lms32fResetDelayLine(quolmLms *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S lms32fGetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S lms32fSetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S lms32fGetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S lms32fSetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S lms32fResize(quolmLms *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  const DT32F mu = filter->mu;
  return resizeRecord(filter, [&](quolmLms *t) { return lms32fInit(t, N, mu); });
}

}  // extern "C"
