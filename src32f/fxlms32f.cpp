// SPDX-License-Identifier: MIT
// Filtered-x LMS filter: the reference is filtered through the caller's model
// of the secondary path, and that filtered history is the regressor of a
// normalised update driven by the error at the error point.
#include "quolmfxlms32f.h"
#include "secpath32f.h"

using namespace quolm32f;

namespace {

// The middle ring holds the filtered reference, N slots. Unlike the other two
// rings its index steps down before the write, so it points at the newest
// value itself.
struct FxlmsShape {
  typedef quolmFxlms Rec;
  static DT32F *&mid(Rec *f) { return f->filtDelayLine; }
  static DT32S &midIndex(Rec *f) { return f->filtIndex; }
  static DT32S midLen(const Rec *f) { return f->length; }
  static DT32S midNewest(const Rec *f) { return f->filtIndex; }
  static bool sizes(DT32S N, DT32S Nm, DT32S &ref, DT32S &mid) {
    ref = N > Nm ? N : Nm;
    mid = N;
    return true;
  }
};

typedef SecPathFilter<FxlmsShape> Fx;

// The reference filtered through the model: sum_j h[j] * u(j), read from the
// newest reference slot; nothing is written.
inline DT32F filteredReference(const quolmFxlms *f) {
  const DT32S newest = ringUp(f->index, f->refLength);
  return DT32F(dotCircBuf(f->delayLine, f->refLength, newest, f->secModel,
                          f->modelLength));
}

}  // namespace

extern "C" {

QUOLM_API DT32S fxlms32fInit(quolmFxlms *filter, DT32S N, DT32F mu,
                             DT32F *secPath, DT32S secLength, DT32F *secModel,
                             DT32S modelLength) {
  return Fx::init(filter, N, mu, secPath, secLength, secModel, modelLength);
}

QUOLM_API DT32S fxlms32fInitStatic(quolmFxlms *filter, DT32S N, DT32F mu,
                                   DT32F *secPath, DT32S secLength,
                                   DT32F *secModel, DT32S modelLength,
                                   DT32F *coefBuf, DT32F *stateBuf) {
  return Fx::init(filter, N, mu, secPath, secLength, secModel, modelLength,
                  true, coefBuf, stateBuf);
}

QUOLM_API DT32F fxlms32fFilterUpdate(quolmFxlms *filter, DT32F x, DT32F d) {
  const Acc ys = Fx::secondaryPath(filter, Fx::filterReference(filter, x));
  const Acc e = ys + Acc(d);
  filter->err = DT32F(e);
  const DT32F xf = filteredReference(filter);
  const DT32S N = filter->length;
  filter->filtIndex = ringDown(filter->filtIndex, N);
  filter->filtDelayLine[filter->filtIndex] = xf;
  Fx::trackPower(filter, xf);
  const DT32F g =
      DT32F(Acc(filter->mu) * e / (Acc(filter->power) + Acc(kSecPathEps)));
  // The error adds the path output to the disturbance, so the step descends
  // by subtracting: w[j] -= g * v(j).
  addScaledCirc(filter->coefs, filter->filtDelayLine, N, filter->filtIndex,
                DT32F(-g), N);
  return DT32F(ys);
}

// Keeps the reference and output histories and the power current; the
// filtered-reference ring is left alone.
QUOLM_API DT32F fxlms32fFilterOnly(quolmFxlms *filter, DT32F x) {
  const Acc ys = Fx::secondaryPath(filter, Fx::filterReference(filter, x));
  Fx::trackPower(filter, filteredReference(filter));
  return DT32F(ys);
}

QUOLM_API void fxlms32fFree(quolmFxlms *filter) { Fx::release(filter); }

QUOLM_API DT32S fxlms32fReset(quolmFxlms *filter) { return resetCoefs(filter); }

QUOLM_API DT32S fxlms32fResetDelayLine(quolmFxlms *filter) {
  return Fx::resetHistories(filter);
}

QUOLM_API DT32S fxlms32fGetCoef(quolmFxlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fxlms32fSetCoef(quolmFxlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fxlms32fGetDelayLine(quolmFxlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return Fx::referenceCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fxlms32fSetDelayLine(quolmFxlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return Fx::referenceCopy<Dir::Set>(filter, values, start, count, reverse);
}

// The filtered-reference ring is carried by age like the others, so its
// history stays in time order across the resize.
QUOLM_API DT32S fxlms32fResize(quolmFxlms *filter, DT32S N) {
  return Fx::resize(filter, N);
}

}  // extern "C"
