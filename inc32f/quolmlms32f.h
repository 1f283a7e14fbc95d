/* SPDX-License-Identifier: MIT */
/** @file
    quolm: LMS adaptive transversal filter with the sign-error, sign-regressor
   and sign-sign laws, circular and LC forms (DT32F build). */
#ifndef QUOLMLMS32F_H
#define QUOLMLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An LMS adaptive transversal filter with the sign-error, sign-regressor and
    sign-sign laws. */
typedef struct {
  DT32S length;     /**< N; 0 after a failed Init */
  DT32F mu;         /**< step size */
  DT32F err;        /**< d - y of the last adapting call */
  DT32F *coefs;     /**< N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /**< N samples, circular; the input vector of LC forms */
  DT32S index;      /**< slot the next sample overwrites; N-1 after Init */
} quolmLms;

/** Sets up N zero coefficients and a zero delay line. Allocates both.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param mu step size: w[k] += mu * err * x(n-k), not normalised. Converges
      for 0 < mu < 2 / (N * Px), Px the input power (mean square); about a
      tenth of that is a good start. Larger values diverge. Under the
      sign-error and sign-sign laws a step moves a coefficient by at most mu *
      |x| (exactly mu for sign-sign), so there mu sets the final error
    @return 0 on success; -2 when N < 1; -3 when an allocation fails (nothing
      stays allocated). Every failure sets length to 0. */
QUOLM_API DT32S lms32fInit(quolmLms *filter, DT32S N, DT32F mu);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param mu step size: w[k] += mu * err * x(n-k), not normalised. Converges
      for 0 < mu < 2 / (N * Px), Px the input power (mean square); about a
      tenth of that is a good start. Larger values diverge. Under the
      sign-error and sign-sign laws a step moves a coefficient by at most mu *
      |x| (exactly mu for sign-sign), so there mu sets the final error
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N values for the delay line; zeroed here
    @return 0 on success; -1 when coefBuf or stateBuf is null; -2 when N < 1.
      Every failure sets length to 0. */
QUOLM_API DT32S lms32fInitStatic(quolmLms *filter, DT32S N, DT32F mu,
                                 DT32F *coefBuf, DT32F *stateBuf);

/** Shifts x in, filters, stores err = d - y and adapts: w[k] += mu * err *
    x(n-k). Checks nothing.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed with the coefficients from before the update */
QUOLM_API DT32F lms32fFilterUpdate(quolmLms *filter, DT32F x, DT32F d);

/** As FilterUpdate with the sign-error law: w[k] += mu * sign(err) * x(n-k),
    where sign(0) = +1.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fFilterUpdateSignErr(quolmLms *filter, DT32F x, DT32F d);

/** As FilterUpdate with the sign-regressor law: w[k] += mu * err *
    sign(x(n-k)), where sign(0) = +1.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fFilterUpdateSignReg(quolmLms *filter, DT32F x, DT32F d);

/** As FilterUpdate with the sign-sign law: w[k] += mu * sign(err) *
    sign(x(n-k)), where sign(0) = +1.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fFilterUpdateSignSign(quolmLms *filter, DT32F x, DT32F d);

/** FilterUpdate on the input vector the caller left in delayLine (element k =
    x(n-k)); stores no sample and leaves index.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fLCFilterUpdate(quolmLms *filter, DT32F d);

/** FilterUpdateSignErr on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fLCFilterUpdateSignErr(quolmLms *filter, DT32F d);

/** FilterUpdateSignReg on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fLCFilterUpdateSignReg(quolmLms *filter, DT32F d);

/** FilterUpdateSignSign on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lms32fLCFilterUpdateSignSign(quolmLms *filter, DT32F d);

/** Shifts x in and filters without adapting; err stays.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y */
QUOLM_API DT32F lms32fFilterOnly(quolmLms *filter, DT32F x);

/** Filters the input vector in delayLine without adapting; err stays.
    @param filter a record set up by Init or InitStatic
    @return y */
QUOLM_API DT32F lms32fLCFilterOnly(quolmLms *filter);

/** Releases the buffers that Init or Resize allocated; length keeps its value.
    Only for records made by Init; afterwards the record may only be set up
    again.
    @param filter a record made by Init */
QUOLM_API void lms32fFree(quolmLms *filter);

/** Zeroes the coefficients; the delay line stays.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S lms32fReset(quolmLms *filter);

/** Zeroes the delay line; the coefficients and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S lms32fResetDelayLine(quolmLms *filter);

/** Copies elements of the coefficients (element k weights x(n-k)) into values.
    L = N.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S lms32fGetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);

/** Copies elements of the coefficients (element k weights x(n-k)) from values.
    L = N.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S lms32fSetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);

/** Copies elements of the delay line by age: element 0 is the newest sample
    into values. L = N.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S lms32fGetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the delay line by age: element 0 is the newest sample
    from values. L = N.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S lms32fSetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Changes N, keeping the leading min(old, new) coefficients and the newest
    samples by age; new ones start at 0. Allocates; only for records made by
    Init.
    @param filter a record made by Init
    @param N number of coefficients, >= 1
    @return 0 (also when N is unchanged); -2 when N < 1; -3 when memory runs
      out. On failure the record is unchanged. */
QUOLM_API DT32S lms32fResize(quolmLms *filter, DT32S N);

QUOLM_END_DECLS

#endif
