// SPDX-License-Identifier: MIT
// RLS lattice joint-process estimator: least-squares lattice stages with a
// ladder of a posteriori estimation errors.
#include "quolmrlslattice32f.h"
#include "rlslatshared32f.h"

using namespace quolm32f;

typedef quolmRlslattice Rec;

extern "C" {

QUOLM_API DT32S rlslattice32fInit(quolmRlslattice *filter, DT32S N,
                                  DT32F lambda) {
  return latticeInit(filter, N, lambda);
}

QUOLM_API DT32S rlslattice32fInitStatic(quolmRlslattice *filter, DT32S N,
                                        DT32F lambda, DT32F *coefBuf,
                                        DT32F *stateBuf) {
  return latticeInitStatic(filter, N, lambda, coefBuf, stateBuf);
}

QUOLM_API DT32F rlslattice32fFilterUpdate(quolmRlslattice *filter, DT32F x,
                                          DT32F d) {
  const Acc e = runStages<true>(filter, x, d).e;
  filter->err = DT32F(e);
  return DT32F(Acc(d) - e);
}

QUOLM_API DT32F rlslattice32fFilterOnly(quolmRlslattice *filter, DT32F x) {
  return DT32F(-runStages<false>(filter, x, 0.0).e);
}

QUOLM_API void rlslattice32fFree(quolmRlslattice *filter) {
  latticeFree(filter);
}

QUOLM_API DT32S rlslattice32fReset(quolmRlslattice *filter) {
  return latticeReset(filter);
}

QUOLM_API DT32S rlslattice32fGetCoef(quolmRlslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::coefs, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslattice32fGetForwardParcors(quolmRlslattice *filter,
                                               DT32F *values, DT32S start,
                                               DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::fwdParcor, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslattice32fGetBackwardParcors(quolmRlslattice *filter,
                                                DT32F *values, DT32S start,
                                                DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::bwdParcor, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslattice32fGetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return stageCopy<Dir::Get>(filter, &Rec::delayLine, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslattice32fSetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return stageCopy<Dir::Set>(filter, &Rec::delayLine, values, start, count,
                             reverse);
}

QUOLM_API DT32S rlslattice32fResize(quolmRlslattice *filter, DT32S N) {
  return latticeResize(filter, N);
}

}  // extern "C"
