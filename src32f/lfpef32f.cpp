// SPDX-License-Identifier: MIT
// Lattice forward prediction error filter: an order-N gradient adaptive
// lattice whose last forward error is the part of each sample that the N
// samples before it do not predict.
#include "latticeshared32f.h"
#include "quolmlfpef32f.h"

using namespace quolm32f;

namespace {

// delayLine, power and scratch of N+1 values each.
constexpr LatticeShape kShape = {1, 3};

void lfpefSetUp(quolmLfpef *f, DT32F mu) {
  f->mu = mu;
  f->err = DT32F(0);
  f->updateCoefs = 1;
}

// Stores the forward error of order N and returns the prediction x - err.
DT32F lfpefOutput(quolmLfpef *f, DT32F x, Acc fwd) {
  f->err = DT32F(fwd);
  return DT32F(Acc(x) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S lfpef32fInit(quolmLfpef *filter, DT32S N, DT32F mu) {
  return latticeInit(filter, N, kShape,
                     [&](quolmLfpef *f) { lfpefSetUp(f, mu); });
}

QUOLM_API DT32S lfpef32fInitStatic(quolmLfpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf) {
  return latticeInitStatic(filter, N, kShape, coefBuf, stateBuf,
                           [&](quolmLfpef *f) { lfpefSetUp(f, mu); });
}

QUOLM_API DT32F lfpef32fFilterUpdate(quolmLfpef *filter, DT32F x) {
  return lfpefOutput(filter, x, predictorStep<true>(filter, x));
}

QUOLM_API DT32F lfpef32fFilterOnly(quolmLfpef *filter, DT32F x) {
  return lfpefOutput(filter, x, predictorStep<false>(filter, x));
}

QUOLM_API void lfpef32fFree(quolmLfpef *filter) { latticeFree(filter); }

QUOLM_API DT32S lfpef32fReset(quolmLfpef *filter) {
  return latticeReset(filter);
}

QUOLM_API DT32S lfpef32fGetCoef(quolmLfpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLfpef::coefs, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fSetCoef(quolmLfpef *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLfpef::coefs, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fGetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLfpef::parcor, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fSetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLfpef::parcor, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fGetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Get>(filter, &quolmLfpef::delayLine, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fSetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return latticeCopy<Dir::Set>(filter, &quolmLfpef::delayLine, values, start,
                               count, reverse);
}

QUOLM_API DT32S lfpef32fResize(quolmLfpef *filter, DT32S N) {
  return predictorResize(filter, N, lfpef32fInit);
}

}  // extern "C"
