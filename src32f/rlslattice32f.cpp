// SPDX-License-Identifier: MIT
// RLS lattice joint-process estimator: least-squares lattice stages with a
// ladder of a posteriori estimation errors.
#include "latticerls32f.h"
#include "quolmrlslattice32f.h"

using namespace quolm32f;
namespace lat = quolm32f::latticerls;

typedef quolmRlslattice Rec;

extern "C" {

QUOLM_API DT32S rlslattice32fInit(quolmRlslattice *filter, DT32S N,
                                  DT32F lambda) {
  return lat::init(filter, N, lambda);
}

QUOLM_API DT32S rlslattice32fInitStatic(quolmRlslattice *filter, DT32S N,
                                        DT32F lambda, DT32F *coefBuf,
                                        DT32F *stateBuf) {
  return lat::init(filter, N, lambda, true, coefBuf, stateBuf);
}

QUOLM_API DT32F rlslattice32fFilterUpdate(quolmRlslattice *filter, DT32F x,
                                          DT32F d) {
  const Acc e = lat::runStages<true>(filter, x, d).e;
  filter->err = DT32F(e);
  return DT32F(Acc(d) - e);
}

QUOLM_API DT32F rlslattice32fFilterOnly(quolmRlslattice *filter, DT32F x) {
  return DT32F(-lat::runStages<false>(filter, x, 0.0).e);
}

QUOLM_API void rlslattice32fFree(quolmRlslattice *filter) {
  lat::release(filter);
}

QUOLM_API DT32S rlslattice32fReset(quolmRlslattice *filter) {
  return lat::reset(filter);
}

QUOLM_API DT32S rlslattice32fGetCoef(quolmRlslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S rlslattice32fGetForwardParcors(quolmRlslattice *filter,
                                               DT32F *values, DT32S start,
                                               DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::fwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslattice32fGetBackwardParcors(quolmRlslattice *filter,
                                                DT32F *values, DT32S start,
                                                DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::bwdParcor, values, start, count, reverse);
}

QUOLM_API DT32S rlslattice32fGetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslattice32fSetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rlslattice32fResize(quolmRlslattice *filter, DT32S N) {
  return lat::resize(filter, N);
}

}  // extern "C"
