// SPDX-License-Identifier: MIT
// Lattice forward prediction error filter: an order-N gradient adaptive
// lattice whose last forward error is the part of each sample that the N
// samples before it do not predict.
#include "latticegrad32f.h"
#include "quolmlfpef32f.h"

using namespace quolm32f;

typedef quolmLfpef Rec;
namespace lat = quolm32f::latticegrad;

namespace {

DT32S lfpefSetUp(quolmLfpef *f, DT32F mu, DT32S rc) {
  if (rc != 0) return rc;
  f->mu = mu;
  f->err = DT32F(0);
  f->updateCoefs = 1;
  return 0;
}

// Stores the forward error of order N and returns the prediction x - err.
DT32F lfpefOutput(quolmLfpef *f, DT32F x, Acc fwd) {
  f->err = DT32F(fwd);
  return DT32F(Acc(x) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S lfpef32fInit(quolmLfpef *filter, DT32S N, DT32F mu) {
  return lfpefSetUp(filter, mu, lat::init(filter, N, lat::kForwardShape));
}

QUOLM_API DT32S lfpef32fInitStatic(quolmLfpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf) {
  return lfpefSetUp(
      filter, mu,
      lat::init(filter, N, lat::kForwardShape, true, coefBuf, stateBuf));
}

QUOLM_API DT32F lfpef32fFilterUpdate(quolmLfpef *filter, DT32F x) {
  return lfpefOutput(filter, x, lat::predictorStep<true>(filter, x));
}

QUOLM_API DT32F lfpef32fFilterOnly(quolmLfpef *filter, DT32F x) {
  return lfpefOutput(filter, x, lat::predictorStep<false>(filter, x));
}

QUOLM_API void lfpef32fFree(quolmLfpef *filter) { lat::release(filter); }

QUOLM_API DT32S lfpef32fReset(quolmLfpef *filter) { return lat::reset(filter); }

QUOLM_API DT32S lfpef32fGetCoef(quolmLfpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fSetCoef(quolmLfpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fGetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fSetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fGetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fSetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lfpef32fResize(quolmLfpef *filter, DT32S N) {
  return lat::resizePredictor(filter, N, lfpef32fInit);
}

}  // extern "C"
