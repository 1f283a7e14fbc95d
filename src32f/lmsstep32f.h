/* SPDX-License-Identifier: MIT */
// One sample of the LMS law on any record with `length` coefficients `coefs`,
// a ring `delayLine` with write slot `index` and a step size `mu`: shared by
// the per-sample and the block families so both give the same results. Also
// the step rules of the LMS and NLMS families, which the one-call step
// (dotInsertAdaptCirc) applies between the sum and the update.
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

// The step of the LMS law from the output y: e = d - y, then lmsStepValue.
template <ErrorLaw E>
struct LmsRule {
  DT32F mu, d;
  DT32F operator()(Acc y) const { return lmsStepValue<E>(mu, Acc(d) - y); }
};

// The normalised step mu*e/den, den = power + epsilon formed beforehand.
struct NlmsRule {
  DT32F mu, d;
  Acc den;
  DT32F operator()(Acc y) const { return DT32F(Acc(mu) * (Acc(d) - y) / den); }
};

// Stores x, forms y with the present coefficients, e = d - y, and adapts.
// Returns y; *e receives the unrounded error.
template <ErrorLaw E, Regressor R, class Rec>
inline Acc lmsStep(Rec *f, DT32S ringLength, DT32F x, DT32F d, Acc *e) {
  const Acc y = dotInsertAdaptCirc<R>(x, f->delayLine, f->coefs, ringLength,
                                      f->length, &f->index,
                                      LmsRule<E>{f->mu, d});
  *e = Acc(d) - y;
  return y;
}

}  // namespace quolm32f

#endif
