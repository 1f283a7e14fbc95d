// SPDX-License-Identifier: MIT
// LMS lattice joint-process estimator: a gradient adaptive lattice of N-1
// stages whitens the input into N backward errors, and a power-normalised
// LMS ladder combines them into the output.
#include "latticegrad32f.h"
#include "quolmlmslattice32f.h"

using namespace quolm32f;

typedef quolmLmslattice Rec;
namespace lat = quolm32f::latticegrad;

namespace {

DT32S lmslatticeSetUp(quolmLmslattice *f, DT32F muParcor, DT32F muCoef,
                      DT32S rc) {
  if (rc != 0) return rc;
  f->muParcor = muParcor;
  f->muCoef = muCoef;
  f->err = DT32F(0);
  f->adaptParcor = 1;
  return 0;
}

// The part shared by FilterUpdate and FilterOnly: the stages, the new
// backward errors into the delay line, and the ladder output (summed during
// the stage pass over the errors as they are stored).
template <bool AdaptParcor>
Acc lmslatticeFilter(quolmLmslattice *f, DT32F x) {
  const DT32S n = f->length;
  Acc y;
  lat::runStages<AdaptParcor, true>(x, n - 1, f->parcor, f->delayLine, f->power,
                                    f->scratch, f->muParcor, f->coefs, &y);
  copyVector(f->scratch, f->delayLine, n);
  return y;
}

}  // namespace

extern "C" {

QUOLM_API DT32S lmslattice32fInit(quolmLmslattice *filter, DT32S N,
                                  DT32F muParcor, DT32F muCoef) {
  return lmslatticeSetUp(filter, muParcor, muCoef,
                         lat::init(filter, N, lat::kJointShape));
}

QUOLM_API DT32S lmslattice32fInitStatic(quolmLmslattice *filter, DT32S N,
                                        DT32F muParcor, DT32F muCoef,
                                        DT32F *coefBuf, DT32F *stateBuf) {
  return lmslatticeSetUp(
      filter, muParcor, muCoef,
      lat::init(filter, N, lat::kJointShape, true, coefBuf, stateBuf));
}

QUOLM_API DT32F lmslattice32fFilterUpdate(quolmLmslattice *filter, DT32F x,
                                          DT32F d) {
  const Acc y = filter->adaptParcor ? lmslatticeFilter<true>(filter, x)
                                    : lmslatticeFilter<false>(filter, x);
  const Acc e = Acc(d) - y;
  // Each ladder coefficient steps by its backward error, normalised by the
  // power of its stage.
  lat::ladderSteps(filter->scratch, filter->delayLine, filter->power,
                   filter->muCoef, e, filter->length);
  addIp32f(filter->scratch, filter->coefs, filter->length);
  filter->err = DT32F(e);
  return DT32F(y);
}

QUOLM_API DT32F lmslattice32fFilterOnly(quolmLmslattice *filter, DT32F x) {
  return DT32F(lmslatticeFilter<false>(filter, x));
}

QUOLM_API void lmslattice32fFree(quolmLmslattice *filter) {
  lat::release(filter);
}

QUOLM_API DT32S lmslattice32fReset(quolmLmslattice *filter) {
  return lat::reset(filter);
}

QUOLM_API DT32S lmslattice32fGetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fSetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::coefs, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fGetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse) {
  return getMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fSetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse) {
  return setMember(filter, &Rec::parcor, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fGetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fSetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S lmslattice32fResize(quolmLmslattice *filter, DT32S N) {
  return lat::resize(filter, N, [&](Rec *t) {  // filter stays as it is
    const DT32S rc = lmslattice32fInit(t, N, filter->muParcor, filter->muCoef);
    if (rc == 0) t->adaptParcor = filter->adaptParcor;
    return rc;
  });
}

}  // extern "C"
