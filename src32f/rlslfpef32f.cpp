// SPDX-License-Identifier: MIT
// RLS lattice forward prediction error filter: the least-squares stages
// without a ladder, and direct-form coefficients from the forward reflection
// coefficients.
#include "latticerls32f.h"
#include "quolmrlslfpef32f.h"
#include "stepup32f.h"

using namespace quolm32f;
namespace lat = quolm32f::latticerls;

typedef quolmRlslfpef Rec;

namespace {

// Stores the forward error of order N, refreshes the direct-form coefficients
// on request and returns the prediction of x from the N previous samples.
DT32F fpefOutput(Rec *f, DT32F x, Acc fErr) {
  if (f->updateCoefs) stepUp(f->fwdParcor, f->coefs, f->length);
  f->err = DT32F(fErr);
  return DT32F(Acc(x) - Acc(f->err));
}

}  // namespace

extern "C" {

QUOLM_API DT32S rlslfpef32fInit(quolmRlslfpef *filter, DT32S N, DT32F lambda) {
  return lat::init(filter, N, lambda);
}

QUOLM_API DT32S rlslfpef32fInitStatic(quolmRlslfpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf) {
  return lat::init(filter, N, lambda, true, coefBuf, stateBuf);
}

QUOLM_API DT32F rlslfpef32fFilterUpdate(quolmRlslfpef *filter, DT32F x) {
  lat::addInputEnergy(filter, x);
  return fpefOutput(filter, x, lat::runStages<true>(filter, x, 0.0).f);
}

QUOLM_API DT32F rlslfpef32fFilterOnly(quolmRlslfpef *filter, DT32F x) {
  return fpefOutput(filter, x, lat::runStages<false>(filter, x, 0.0).f);
}

QUOLM_API void rlslfpef32fFree(quolmRlslfpef *filter) { lat::release(filter); }

QUOLM_API DT32S rlslfpef32fReset(quolmRlslfpef *filter) {
  return lat::reset(filter);
}

QUOLM_API DT32S rlslfpef32fGetCoef(quolmRlslfpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S rlslfpef32fGetForwardParcors(quolmRlslfpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::fwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslfpef32fGetBackwardParcors(quolmRlslfpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::bwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslfpef32fGetDelayLine(quolmRlslfpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslfpef32fSetDelayLine(quolmRlslfpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslfpef32fResize(quolmRlslfpef *filter, DT32S N) {
  return lat::resize(filter, N);
}

}  // extern "C"
