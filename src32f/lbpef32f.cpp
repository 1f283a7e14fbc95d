// SPDX-License-Identifier: MIT
// Lattice backward prediction error filter: an order-N gradient adaptive
// lattice whose last backward error is the part of the sample N steps back
// that the N newer samples do not predict. A ring of the last N+1 inputs
// turns that error into the prediction itself.
#include "latticeshared32f.h"
#include "quolmlbpef32f.h"

using namespace quolm32f;

namespace {

// delayLine, power, scratch and delayedInput of N+1 values each.
constexpr LatticeShape kShape = {1, 4};

void lbpefSetUp(quolmLbpef *f, DT32F mu) {
  f->mu = mu;
  f->err = DT32F(0);
  f->updateCoefs = 1;
  f->index = f->length;
  f->delayedInput = f->delayLine + 3 * (size_t(f->length) + 1);
}

// Stores the backward error of order N, pushes x into the ring and returns
// the sample N steps back minus that error (0 for the first N calls).
DT32F lbpefOutput(quolmLbpef *f, DT32F x) {
  const DT32S n = f->length;
  f->err = f->scratch[n];
  f->index = f->index == n ? 0 : f->index + 1;
  f->delayedInput[f->index] = x;
  const DT32F oldest = f->delayedInput[f->index == n ? 0 : f->index + 1];
  return DT32F(Acc(oldest) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S lbpef32fInit(quolmLbpef *filter, DT32S N, DT32F mu) {
  return latticeInit(filter, N, kShape,
                     [&](quolmLbpef *f) { lbpefSetUp(f, mu); });
}

QUOLM_API DT32S lbpef32fInitStatic(quolmLbpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf) {
  return latticeInitStatic(filter, N, kShape, coefBuf, stateBuf,
                           [&](quolmLbpef *f) { lbpefSetUp(f, mu); });
}

QUOLM_API DT32F lbpef32fFilterUpdate(quolmLbpef *filter, DT32F x) {
  predictorStep<true>(filter, x);
  return lbpefOutput(filter, x);
}

QUOLM_API DT32F lbpef32fFilterOnly(quolmLbpef *filter, DT32F x) {
  predictorStep<false>(filter, x);
  return lbpefOutput(filter, x);
}

QUOLM_API void lbpef32fFree(quolmLbpef *filter) { latticeFree(filter); }

QUOLM_API DT32S lbpef32fReset(quolmLbpef *filter) {
  return latticeReset(filter);
}

QUOLM_API DT32S lbpef32fGetCoef(quolmLbpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLbpef::coefs, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fSetCoef(quolmLbpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLbpef::coefs, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fGetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLbpef::parcor, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fSetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLbpef::parcor, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fGetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLbpef::delayLine, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fSetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLbpef::delayLine, values, start,
                               count, reverse);
}

QUOLM_API DT32S lbpef32fResize(quolmLbpef *filter, DT32S N) {
  return predictorResize(filter, N, lbpef32fInit);
}

}  // extern "C"
