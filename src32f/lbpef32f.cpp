// SPDX-License-Identifier: MIT
// Lattice backward prediction error filter: an order-N gradient adaptive
// lattice whose last backward error is the part of the sample N steps back
// that the N newer samples do not predict. A ring of the last N+1 inputs
// turns that error into the prediction itself.
#include "latticegrad32f.h"
#include "quolmlbpef32f.h"

using namespace quolm32f;

typedef quolmLbpef Rec;
namespace lat = quolm32f::latticegrad;

namespace {

DT32S lbpefSetUp(quolmLbpef *f, DT32F mu, DT32S rc) {
  if (rc != 0) return rc;
  f->mu = mu;
  f->err = DT32F(0);
  f->updateCoefs = 1;
  f->index = f->length;
  f->delayedInput = f->delayLine + lat::kSharedRuns * (size_t(f->length) + 1);
  return 0;
}

// Stores the backward error of order N, pushes x into the ring and returns
// the sample N steps back minus that error (0 for the first N calls).
DT32F lbpefOutput(quolmLbpef *f, DT32F x) {
  const DT32S n = f->length;
  f->err = f->scratch[n];
  const DT32F oldest = pushNewest(f->delayedInput, n + 1, &f->index, x);
  return DT32F(Acc(oldest) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S lbpef32fInit(quolmLbpef *filter, DT32S N, DT32F mu) {
  return lbpefSetUp(filter, mu, lat::init(filter, N, lat::kBackwardShape));
}

QUOLM_API DT32S lbpef32fInitStatic(quolmLbpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf) {
  return lbpefSetUp(
      filter, mu,
      lat::init(filter, N, lat::kBackwardShape, true, coefBuf, stateBuf));
}

QUOLM_API DT32F lbpef32fFilterUpdate(quolmLbpef *filter, DT32F x) {
  lat::predictorStep<true>(filter, x);
  return lbpefOutput(filter, x);
}

QUOLM_API DT32F lbpef32fFilterOnly(quolmLbpef *filter, DT32F x) {
  lat::predictorStep<false>(filter, x);
  return lbpefOutput(filter, x);
}

QUOLM_API void lbpef32fFree(quolmLbpef *filter) { lat::release(filter); }

QUOLM_API DT32S lbpef32fReset(quolmLbpef *filter) { return lat::reset(filter); }

QUOLM_API DT32S lbpef32fGetCoef(quolmLbpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fSetCoef(quolmLbpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fGetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fSetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fGetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fSetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lbpef32fResize(quolmLbpef *filter, DT32S N) {
  return lat::resizePredictor(filter, N, lbpef32fInit);
}

}  // extern "C"
