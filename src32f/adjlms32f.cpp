// SPDX-License-Identifier: MIT
// Adjoint LMS filter: the error is filtered through the time-reversed model of
// the secondary path and correlated with the reference delayed to match, in a
// normalised update.
#include "quolmadjlms32f.h"
#include "secpath32f.h"

using namespace quolm32f;

namespace {

// The middle ring holds the error history, modelLength slots, written at its
// index which then steps down like the reference ring's.
struct AdjlmsShape {
  typedef quolmAdjlms Rec;
  static DT32F *&mid(Rec *f) { return f->errDelayLine; }
  static DT32S &midIndex(Rec *f) { return f->errIndex; }
  static DT32S midLen(const Rec *f) { return f->modelLength; }
  static DT32S midNewest(const Rec *f) {
    return ringUp(f->errIndex, f->modelLength);
  }
  // The reference ring holds N + Nm - 1 samples: the update's regressor is
  // the reference Nm - 1 samples back, N samples long.
  static bool sizes(DT32S N, DT32S Nm, DT32S &ref, DT32S &mid) {
    size_t refLen;
    if (!sizeAdd(size_t(N), size_t(Nm) - 1, refLen)) return false;
    ref = DT32S(refLen);
    mid = Nm;
    return true;
  }
};

typedef SecPathFilter<AdjlmsShape> Adj;

// Folds the reference sample modelLength steps back into the power estimate
// (with N = 1 the ring has modelLength slots and this is the newest sample).
inline void trackDelayedPower(quolmAdjlms *f) {
  Adj::trackPower(f, f->delayLine[ringAdd(f->index, int64_t(1) + f->modelLength,
                                          f->refLength)]);
}

}  // namespace

extern "C" {

QUOLM_API DT32S adjlms32fInit(quolmAdjlms *filter, DT32S N, DT32F mu,
                              DT32F *secPath, DT32S secLength, DT32F *secModel,
                              DT32S modelLength) {
  return Adj::init(filter, N, mu, secPath, secLength, secModel, modelLength);
}

QUOLM_API DT32S adjlms32fInitStatic(quolmAdjlms *filter, DT32S N, DT32F mu,
                                    DT32F *secPath, DT32S secLength,
                                    DT32F *secModel, DT32S modelLength,
                                    DT32F *coefBuf, DT32F *stateBuf) {
  return Adj::init(filter, N, mu, secPath, secLength, secModel, modelLength,
                   true, coefBuf, stateBuf);
}

QUOLM_API DT32F adjlms32fFilterUpdate(quolmAdjlms *filter, DT32F x, DT32F d) {
  const Acc ys = Adj::secondaryPath(filter, Adj::filterReference(filter, x));
  filter->err = DT32F(ys + Acc(d));
  const Acc ef =
      dotInsertCircBufRev(filter->err, filter->errDelayLine, filter->secModel,
                          filter->modelLength, &filter->errIndex);
  trackDelayedPower(filter);
  const DT32F g =
      DT32F(Acc(filter->mu) / (Acc(filter->power) + Acc(kSecPathEps)) * ef);
  // The filtered error pairs with the reference Nm - 1 samples back; the
  // step subtracts since the error adds the path output to the disturbance.
  const DT32S first =
      ringAdd(filter->index, filter->modelLength, filter->refLength);
  addScaledCirc(filter->coefs, filter->delayLine, filter->refLength, first,
                DT32F(-g), filter->length);
  return DT32F(ys);
}

QUOLM_API DT32F adjlms32fFilterOnly(quolmAdjlms *filter, DT32F x) {
  const Acc ys = Adj::secondaryPath(filter, Adj::filterReference(filter, x));
  trackDelayedPower(filter);
  return DT32F(ys);
}

QUOLM_API void adjlms32fFree(quolmAdjlms *filter) { Adj::release(filter); }

QUOLM_API DT32S adjlms32fReset(quolmAdjlms *filter) {
  return resetCoefs(filter);
}

QUOLM_API DT32S adjlms32fResetDelayLine(quolmAdjlms *filter) {
  return Adj::resetHistories(filter);
}

QUOLM_API DT32S adjlms32fGetCoef(quolmAdjlms *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S adjlms32fSetCoef(quolmAdjlms *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S adjlms32fGetDelayLine(quolmAdjlms *filter, DT32F *values,
                                      DT32S start, DT32S count, DT32S reverse) {
  return Adj::referenceCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S adjlms32fSetDelayLine(quolmAdjlms *filter, DT32F *values,
                                      DT32S start, DT32S count, DT32S reverse) {
  return Adj::referenceCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S adjlms32fResize(quolmAdjlms *filter, DT32S N) {
  return Adj::resize(filter, N);
}

}  // extern "C"
