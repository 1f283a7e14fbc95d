/* SPDX-License-Identifier: MIT */
/** @file
    quolm: block LMS adaptive transversal filter with the sign-error,
   sign-regressor and sign-sign laws (DT32F build). Each call takes a block of
   blockLen samples and adapts after every sample, so a block gives the same
   results as blockLen single LMS steps. */
#ifndef QUOLMBLMS32F_H
#define QUOLMBLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A block LMS adaptive transversal filter with the sign laws: each call
    processes blockLen samples, adapting after each one. */
typedef struct {
  DT32S length;     /**< N; 0 after a failed Init */
  DT32S blockLen;   /**< L, samples per FilterUpdate / FilterOnly call */
  DT32F mu;         /**< step size */
  DT32F *coefs;     /**< N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /**< N samples, circular */
  DT32S index;      /**< slot the next sample overwrites; 0 after Init */
} quolmBlms;

/** Sets up N zero coefficients and a zero delay line for blocks of blockLen
    samples. Allocates.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @param mu step size: w[k] += mu * err * x(n-k), not normalised. Converges
      for 0 < mu < 2 / (N * Px), Px the input power (mean square); about a
      tenth of that is a good start. Larger values diverge. Under the
      sign-error and sign-sign laws a step moves a coefficient by at most mu *
      |x| (exactly mu for sign-sign), so there mu sets the final error
    @return 0 on success; -2 when N < 1 or blockLen < 1; -3 when an allocation
      fails (nothing stays allocated). Every failure sets length to 0. */
QUOLM_API DT32S blms32fInit(quolmBlms *filter, DT32S N, DT32S blockLen,
                            DT32F mu);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @param mu step size: w[k] += mu * err * x(n-k), not normalised. Converges
      for 0 < mu < 2 / (N * Px), Px the input power (mean square); about a
      tenth of that is a good start. Larger values diverge. Under the
      sign-error and sign-sign laws a step moves a coefficient by at most mu *
      |x| (exactly mu for sign-sign), so there mu sets the final error
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N values for the delay line; zeroed here
    @return 0 on success; -2 when N < 1 or blockLen < 1; -1 when coefBuf or
      stateBuf is null. Every failure sets length to 0. */
QUOLM_API DT32S blms32fInitStatic(quolmBlms *filter, DT32S N, DT32S blockLen,
                                  DT32F mu, DT32F *coefBuf, DT32F *stateBuf);

/** Runs blockLen LMS steps: per sample it filters, forms e = d - y and adapts
    w[k] += mu * e * x(n-k). The same results as blockLen single LMS steps.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0; -1 when the record's vectors are null (nothing done). The blocks
      are not checked. */
QUOLM_API DT32S blms32fFilterUpdate(quolmBlms *filter, const DT32F *x,
                                    const DT32F *d, DT32F *y, DT32F *e);

/** As FilterUpdate with the sign-error law (sign(0) = +1).
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0, or -1 as FilterUpdate */
QUOLM_API DT32S blms32fFilterUpdateSignErr(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e);

/** As FilterUpdate with the sign-regressor law (sign(0) = +1).
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0, or -1 as FilterUpdate */
QUOLM_API DT32S blms32fFilterUpdateSignReg(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e);

/** As FilterUpdate with the sign-sign law (sign(0) = +1).
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0, or -1 as FilterUpdate */
QUOLM_API DT32S blms32fFilterUpdateSignSign(quolmBlms *filter, const DT32F *x,
                                            const DT32F *d, DT32F *y,
                                            DT32F *e);

/** Filters blockLen inputs into y without adapting.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param y blockLen outputs (written)
    @return 0, or -1 when the record's vectors are null */
QUOLM_API DT32S blms32fFilterOnly(quolmBlms *filter, const DT32F *x, DT32F *y);

/** Releases the buffers that Init or Resize allocated; length keeps its value.
    Only for records made by Init; afterwards the record may only be set up
    again.
    @param filter a record made by Init */
QUOLM_API void blms32fFree(quolmBlms *filter);

/** Zeroes the coefficients; the delay line stays.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S blms32fReset(quolmBlms *filter);

/** Zeroes the delay line; the coefficients and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S blms32fResetDelayLine(quolmBlms *filter);

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
QUOLM_API DT32S blms32fGetCoef(quolmBlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S blms32fSetCoef(quolmBlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S blms32fGetDelayLine(quolmBlms *filter, DT32F *values,
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
QUOLM_API DT32S blms32fSetDelayLine(quolmBlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);

/** Changes N and blockLen, keeping the leading coefficients and the newest
    samples. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @return 0 (also when both sizes are unchanged); -2 when a size is below 1;
      -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S blms32fResize(quolmBlms *filter, DT32S N, DT32S blockLen);

QUOLM_END_DECLS

#endif
