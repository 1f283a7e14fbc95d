// SPDX-License-Identifier: MIT
// RLS lattice backward prediction error filter: the least-squares stages
// without a ladder, an input ring for the sample N steps back, and direct-form
// coefficients from the backward reflection coefficients.
#include "quolmrlslbpef32f.h"
#include "rlslatshared32f.h"
#include "stepup32f.h"

using namespace quolm32f;

typedef quolmRlslbpef Rec;

namespace {

// Stores the backward error of order N, refreshes the direct-form
// coefficients on request, pushes x into the ring and returns the backward
// prediction of the sample N steps back.
DT32F bpefOutput(Rec *f, DT32F x, Acc b) {
  if (f->updateCoefs) stepUp32f(f->bwdParcor, f->coefs, f->length);
  f->err = DT32F(b);
  const DT32S ringLen = f->length + 1;
  f->index = f->index + 1 == ringLen ? 0 : f->index + 1;
  f->delayedInput[f->index] = x;
  const DT32S oldest = f->index + 1 == ringLen ? 0 : f->index + 1;
  return DT32F(Acc(f->delayedInput[oldest]) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S rlslbpef32fInit(quolmRlslbpef *filter, DT32S N, DT32F lambda) {
  return latticeInit(filter, N, lambda);
}

QUOLM_API DT32S rlslbpef32fInitStatic(quolmRlslbpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf) {
  return latticeInitStatic(filter, N, lambda, coefBuf, stateBuf);
}

QUOLM_API DT32F rlslbpef32fFilterUpdate(quolmRlslbpef *filter, DT32F x) {
  addInputEnergy(filter, x);
  return bpefOutput(filter, x, runStages<true>(filter, x, 0.0).b);
}

QUOLM_API DT32F rlslbpef32fFilterOnly(quolmRlslbpef *filter, DT32F x) {
  return bpefOutput(filter, x, runStages<false>(filter, x, 0.0).b);
}

QUOLM_API void rlslbpef32fFree(quolmRlslbpef *filter) { latticeFree(filter); }

QUOLM_API DT32S rlslbpef32fReset(quolmRlslbpef *filter) {
  return latticeReset(filter);
}

QUOLM_API DT32S rlslbpef32fGetCoef(quolmRlslbpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::coefs, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslbpef32fGetForwardParcors(quolmRlslbpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::fwdParcor, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslbpef32fGetBackwardParcors(quolmRlslbpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::bwdParcor, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslbpef32fGetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::delayLine, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslbpef32fSetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return stageCopy<Dir::Set>(filter, &Rec::delayLine, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslbpef32fResize(quolmRlslbpef *filter, DT32S N) {
  return latticeResize(filter, N);
}

}  // extern "C"
