/* SPDX-License-Identifier: MIT */
/** @file
    quolm: fixed FIR filter over a circular delay line (DT32F build).
   y(n) = sum_k coefs[k] * x(n-k); the coefficients stay the caller's. */
#ifndef QUOLMFIR32F_H
#define QUOLMFIR32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A fixed FIR filter: the caller's coefficients over a circular delay line.
    */
typedef struct {
  DT32F *coefs;     /**< the caller's N coefficients, never copied */
  DT32S length;     /**< N; 0 after a failed Init and after Free */
  DT32F *delayLine; /**< N samples, circular */
  DT32S index;      /**< slot the next sample overwrites; N-1 after Init */
} quolmFir;

/** Sets up a filter on the caller's coefficients and allocates its delay line
    (zeroed). Allocates.
    @param filter the record to set up (caller memory)
    @param N number of taps, >= 1
    @param coefs the caller's N coefficients; kept by pointer and never copied,
      so they must outlive the record (changing them changes the filter)
    @return 0 on success; -1 when coefs is null; -2 when N < 1; -3 when the
      allocation fails. Every failure sets length to 0. */
QUOLM_API DT32S fir32fInit(quolmFir *filter, DT32S N, DT32F *coefs);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of taps, >= 1
    @param coefs the caller's N coefficients; kept by pointer and never copied,
      so they must outlive the record (changing them changes the filter)
    @param stateBuf caller buffer of N values for the delay line; zeroed here
    @return 0 on success; -1 when coefs or stateBuf is null; -2 when N < 1.
      Every failure sets length to 0. */
QUOLM_API DT32S fir32fInitStatic(quolmFir *filter, DT32S N, DT32F *coefs,
                                 DT32F *stateBuf);

/** Shifts x into the delay line and filters it. Checks nothing.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y(n) = sum over k of coefs[k] * x(n-k) */
QUOLM_API DT32F fir32fFilter(quolmFir *filter, DT32F x);

/** Filters the input vector the caller left in delayLine (element k = x(n-k));
    stores nothing and leaves index. Checks nothing.
    @param filter a record set up by Init or InitStatic
    @return the output for that input vector */
QUOLM_API DT32F fir32fLCFilter(quolmFir *filter);

/** Filters N samples of x into y, one Filter call per sample.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param y output array of N values (may be x)
    @param N number of taps, >= 1
    @return 0; -1 when the record, x or y is null (nothing is filtered) */
QUOLM_API DT32S fir32fBlockFilter(quolmFir *filter, const DT32F *x, DT32F *y,
                                  DT32S N);

/** Releases the delay line that Init or Resize allocated (never the
    coefficients) and sets length to 0. Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void fir32fFree(quolmFir *filter);

/** Zeroes the delay line; index stays, so the next sample goes where it would
    have gone.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S fir32fResetDelayLine(quolmFir *filter);

/** Copies elements of the caller's coefficient array (element k weights
    x(n-k)) into values. L = N.
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
QUOLM_API DT32S fir32fGetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);

/** Copies elements of the caller's coefficient array (element k weights
    x(n-k)) from values. L = N.
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
QUOLM_API DT32S fir32fSetCoef(quolmFir *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S fir32fGetDelayLine(quolmFir *filter, DT32F *values,
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
QUOLM_API DT32S fir32fSetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Changes the number of taps, keeping the newest min(old, new) samples by
    age. The coefficient array stays the caller's: when it grows, coefficients
    beyond the old length are zeroed in it, so it must hold N values.
    Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of taps, >= 1
    @return 0 (also when N is unchanged); -2 when N < 1; -3 when memory runs
      out. On failure the record is unchanged. */
QUOLM_API DT32S fir32fResize(quolmFir *filter, DT32S N);

QUOLM_END_DECLS

#endif
