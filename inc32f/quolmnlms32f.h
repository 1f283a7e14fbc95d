/* SPDX-License-Identifier: MIT */
/** @file
    quolm: normalised LMS adaptive transversal filter, circular and LC forms
   (DT32F build). The step is divided by a running average of the squared
   newest input sample. */
#ifndef QUOLMNLMS32F_H
#define QUOLMNLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A normalised LMS adaptive transversal filter. */
typedef struct {
  DT32S length;     /**< N; 0 after a failed Init */
  DT32F mu;         /**< step size */
  DT32F err;        /**< d - y of the last adapting call */
  DT32F power;      /**< running input power estimate; 1.0 after Init */
  DT32F *coefs;     /**< N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /**< N samples, circular; the input vector of LC forms */
  DT32S index;      /**< slot the next sample overwrites; N-1 after Init */
} quolmNlms;

/** Sets up N zero coefficients, a zero delay line and power 1.0. Allocates
    both.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param mu step size, normalised by the running input power Px (the mean of
      x(n)^2 over about 100 samples), so each coefficient moves by mu * err * x
      / Px. Converges for 0 < mu < 2/N independently of the input level; about
      0.5/N converges fast, smaller values give a lower final error
    @return 0 on success; -2 when N < 1; -3 when an allocation fails (nothing
      stays allocated). Every failure sets length to 0. */
QUOLM_API DT32S nlms32fInit(quolmNlms *filter, DT32S N, DT32F mu);

/** Sets up the record in the caller's buffers; allocates nothing. power starts
    at 1.0.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param mu step size, normalised by the running input power Px (the mean of
      x(n)^2 over about 100 samples), so each coefficient moves by mu * err * x
      / Px. Converges for 0 < mu < 2/N independently of the input level; about
      0.5/N converges fast, smaller values give a lower final error
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N values for the delay line; zeroed here
    @return 0 on success; -1 when coefBuf or stateBuf is null; -2 when N < 1.
      Every failure sets length to 0. */
QUOLM_API DT32S nlms32fInitStatic(quolmNlms *filter, DT32S N, DT32F mu,
                                  DT32F *coefBuf, DT32F *stateBuf);

/** Shifts x in, filters, stores err = d - y, updates power = 0.99 * power +
    0.01 * x^2 and adapts by mu * err / (power + 1e-12) times each input
    sample.
    Silence guard: a power estimate below the smallest normal value (long
    digital silence) restarts from 1, as after Init, at the next non-zero
    sample.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F nlms32fFilterUpdate(quolmNlms *filter, DT32F x, DT32F d);

/** Shifts x in, filters and updates the power estimate; no adaptation, err
    stays.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y */
QUOLM_API DT32F nlms32fFilterOnly(quolmNlms *filter, DT32F x);

/** FilterUpdate on the input vector the caller left in delayLine (element 0
    the newest, which drives the power estimate); stores no sample and leaves
    index.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F nlms32fLCFilterUpdate(quolmNlms *filter, DT32F d);

/** FilterOnly on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @return y */
QUOLM_API DT32F nlms32fLCFilterOnly(quolmNlms *filter);

/** Releases the buffers that Init or Resize allocated; length keeps its value.
    Only for records made by Init; afterwards the record may only be set up
    again.
    @param filter a record made by Init */
QUOLM_API void nlms32fFree(quolmNlms *filter);

/** Zeroes the coefficients; the delay line and power stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S nlms32fReset(quolmNlms *filter);

/** Zeroes the delay line; coefficients, power and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S nlms32fResetDelayLine(quolmNlms *filter);

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
QUOLM_API DT32S nlms32fGetCoef(quolmNlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S nlms32fSetCoef(quolmNlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S nlms32fGetDelayLine(quolmNlms *filter, DT32F *values,
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
QUOLM_API DT32S nlms32fSetDelayLine(quolmNlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);

/** Changes N, keeping the leading coefficients, the newest samples and the
    power estimate. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of coefficients, >= 1
    @return 0 (also when N is unchanged); -2 when N < 1; -3 when memory runs
      out. On failure the record is unchanged. */
QUOLM_API DT32S nlms32fResize(quolmNlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
