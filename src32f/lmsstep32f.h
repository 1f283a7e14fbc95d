/* SPDX-License-Identifier: MIT */
// One sample of the LMS law on any record with `length` coefficients `coefs`,
// a ring `delayLine` with write slot `index` and a step size `mu`: shared by
// the per-sample and the block families so both give the same results.
#ifndef QUOLM_LMSSTEP32F_H
#define QUOLM_LMSSTEP32F_H

#include "kernels32f.h"

namespace quolm32f {

enum class ErrorLaw { Value, Sign };

// The step value mu*e or mu*sign(e), rounded to the sample type once.
template <ErrorLaw E>
inline DT32F lmsStepValue(DT32F mu, Acc e) {
  return DT32F(Acc(mu) * (E == ErrorLaw::Sign ? Acc(signOf(e)) : e));
}

// Stores x, forms y with the present coefficients, e = d - y, and adapts.
// Returns y; *e receives the unrounded error.
template <ErrorLaw E, Regressor R, class Rec>
inline Acc lmsStep(Rec *f, DT32S ringLength, DT32F x, DT32F d, Acc *e) {
  const DT32S p = f->index;
  const DT32S n = f->length;
  const Acc y =
      dotInsertCircBuf(x, f->delayLine, f->coefs, ringLength, n, &f->index);
  *e = Acc(d) - y;
  addScaledCirc<R>(f->coefs, f->delayLine, ringLength, p,
                   lmsStepValue<E>(f->mu, *e), n);
  return y;
}

}  // namespace quolm32f

#endif
