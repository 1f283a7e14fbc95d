// SPDX-License-Identifier: MIT
// RLS lattice backward prediction error filter: the least-squares stages
// without a ladder, an input ring for the sample N steps back, and direct-form
// coefficients from the backward reflection coefficients.
#include "latticerls32f.h"
#include "quolmrlslbpef32f.h"
#include "stepup32f.h"

using namespace quolm32f;
namespace lat = quolm32f::latticerls;

typedef quolmRlslbpef Rec;

namespace {

// Stores the backward error of order N, refreshes the direct-form
// coefficients on request, pushes x into the ring and returns the backward
// prediction of the sample N steps back.
DT32F bpefOutput(Rec *f, DT32F x, Acc b) {
  if (f->updateCoefs) stepUp(f->bwdParcor, f->coefs, f->length);
  f->err = DT32F(b);
  const DT32F oldest = pushNewest(f->delayedInput, f->length + 1, &f->index, x);
  return DT32F(Acc(oldest) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S rlslbpef32fInit(quolmRlslbpef *filter, DT32S N, DT32F lambda) {
  return lat::init(filter, N, lambda);
}

QUOLM_API DT32S rlslbpef32fInitStatic(quolmRlslbpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf) {
  return lat::init(filter, N, lambda, true, coefBuf, stateBuf);
}

QUOLM_API DT32F rlslbpef32fFilterUpdate(quolmRlslbpef *filter, DT32F x) {
  lat::addInputEnergy(filter, x);
  return bpefOutput(filter, x, lat::runStages<true>(filter, x, 0.0).b);
}

QUOLM_API DT32F rlslbpef32fFilterOnly(quolmRlslbpef *filter, DT32F x) {
  return bpefOutput(filter, x, lat::runStages<false>(filter, x, 0.0).b);
}

QUOLM_API void rlslbpef32fFree(quolmRlslbpef *filter) { lat::release(filter); }

QUOLM_API DT32S rlslbpef32fReset(quolmRlslbpef *filter) {
  return lat::reset(filter);
}

QUOLM_API DT32S rlslbpef32fGetCoef(quolmRlslbpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S rlslbpef32fGetForwardParcors(quolmRlslbpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::fwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslbpef32fGetBackwardParcors(quolmRlslbpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::bwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslbpef32fGetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslbpef32fSetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslbpef32fResize(quolmRlslbpef *filter, DT32S N) {
  return lat::resize(filter, N);
}

}  // extern "C"
