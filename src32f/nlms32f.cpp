// SPDX-License-Identifier: MIT
// Normalised LMS adaptive transversal filter, circular and LC forms.
#include <limits>

#include "consts32f.h"
#include "lmsstep32f.h"
#include "quolmnlms32f.h"
#include "transversal32f.h"

using namespace quolm32f;

namespace {

DT32S nlmsSetUp(quolmNlms *f, DT32S N, DT32F mu, DT32S rc) {
  if (rc != 0) return rc;
  f->length = N;
  f->mu = mu;
  f->err = DT32F(0);
  f->power = DT32F(1);
  f->index = N - 1;
  return 0;
}

// Folds the newest sample into the power estimate. An estimate that long
// digital silence has taken below the smallest normal value has forgotten
// the input's level; the first non-zero sample restarts it from its start
// value 1, as after Init. Catching up from 0 instead, it lags the delay
// line's energy: the step relative to that energy is about 100 mu instead
// of mu N for ~70 samples, which grows the coefficients by up to 1e20 (N = 8,
// mu = 1/N) or overflows them.
inline void trackPower(quolmNlms *f, DT32F x) {
  if (__builtin_expect(f->power < std::numeric_limits<DT32F>::min(), 0) &&
      x != DT32F(0))
    f->power = DT32F(1);
  f->power = DT32F(Acc(x) * Acc(x) * Acc(kNlmsGain) +
                   Acc(f->power) * Acc(kNlmsKeep));
}

// Tracks x's power and returns the rule of the normalised step for d.
inline NlmsRule nlmsRule(quolmNlms *f, DT32F x, DT32F d) {
  trackPower(f, x);
  return NlmsRule{f->mu, d, Acc(f->power) + Acc(kNlmsEps)};
}

}  // namespace

extern "C" {

QUOLM_API DT32S nlms32fInit(quolmNlms *filter, DT32S N, DT32F mu) {
  return nlmsSetUp(filter, N, mu, initCoefsAndRing(filter, N, N >= 1));
}

QUOLM_API DT32S nlms32fInitStatic(quolmNlms *filter, DT32S N, DT32F mu,
                                  DT32F *coefBuf, DT32F *stateBuf) {
  return nlmsSetUp(
      filter, N, mu,
      initCoefsAndRing(filter, N, N >= 1, true, coefBuf, stateBuf));
}

QUOLM_API DT32F nlms32fFilterUpdate(quolmNlms *filter, DT32F x, DT32F d) {
  const DT32S n = filter->length;
  const Acc y = dotInsertAdaptCirc<Regressor::Value>(
      x, filter->delayLine, filter->coefs, n, n, &filter->index,
      nlmsRule(filter, x, d));
  filter->err = DT32F(Acc(d) - y);
  return DT32F(y);
}

QUOLM_API DT32F nlms32fFilterOnly(quolmNlms *filter, DT32F x) {
  const DT32S n = filter->length;
  const Acc y = dotInsertCircBuf(x, filter->delayLine, filter->coefs, n, n,
                                 &filter->index);
  trackPower(filter, x);
  return DT32F(y);
}

QUOLM_API DT32F nlms32fLCFilterUpdate(quolmNlms *filter, DT32F d) {
  const DT32S n = filter->length;
  const Acc y = dotLinBuf(filter->delayLine, filter->coefs, n);
  const DT32F g = nlmsRule(filter, filter->delayLine[0], d)(y);
  filter->err = DT32F(Acc(d) - y);
  addScaled<Regressor::Value>(filter->coefs, filter->delayLine, g, n);
  return DT32F(y);
}

QUOLM_API DT32F nlms32fLCFilterOnly(quolmNlms *filter) {
  const Acc y = dotLinBuf(filter->delayLine, filter->coefs, filter->length);
  trackPower(filter, filter->delayLine[0]);
  return DT32F(y);
}

QUOLM_API void nlms32fFree(quolmNlms *filter) {
  freeCoefsAndDelayLine(filter);
}

QUOLM_API DT32S nlms32fReset(quolmNlms *filter) { return resetCoefs(filter); }

QUOLM_API DT32S nlms32fResetDelayLine(quolmNlms *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S nlms32fGetCoef(quolmNlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S nlms32fSetCoef(quolmNlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S nlms32fGetDelayLine(quolmNlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S nlms32fSetDelayLine(quolmNlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S nlms32fResize(quolmNlms *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  const DT32F mu = filter->mu;
  const DT32F power = filter->power;
  const DT32S rc = resizeRecord(
      filter, [&](quolmNlms *t) { return nlms32fInit(t, N, mu); });
  if (rc == 0) filter->power = power;
  return rc;
}

}  // extern "C"
