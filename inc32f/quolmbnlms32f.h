/* SPDX-License-Identifier: MIT */
/** @file
    quolm: block NLMS adaptive transversal filter (DT32F build). Each call takes
   a block of blockLen samples and adapts after every sample by a step divided
   by a running average of the squared newest input sample. */
#ifndef QUOLMBNLMS32F_H
#define QUOLMBNLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A block NLMS adaptive transversal filter: each call processes blockLen
    samples, adapting after each one by a power-normalised step. */
typedef struct {
  DT32S length;     /**< N; 0 after a failed Init */
  DT32S blockLen;   /**< L, samples per FilterUpdate / FilterOnly call */
  DT32F mu;         /**< step size */
  DT32F *coefs;     /**< N coefficients; coefs[k] weights x(n-k) */
  DT32F power;      /**< running input power estimate; 1.0 after Init */
  DT32F *delayLine; /**< N samples, circular */
  DT32S index;      /**< slot the next sample overwrites; 0 after Init */
} quolmBnlms;

/** Sets up N zero coefficients, a zero delay line and power 1.0 for blocks of
    blockLen samples. Allocates.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @param mu step size, normalised by the running input power Px (the mean of
      x(n)^2 over about 100 samples), so each coefficient moves by mu * err * x
      / Px. Converges for 0 < mu < 2/N independently of the input level; about
      0.5/N converges fast, smaller values give a lower final error
    @return 0 on success; -2 when N < 1 or blockLen < 1; -3 when an allocation
      fails (nothing stays allocated). Every failure sets length to 0. */
QUOLM_API DT32S bnlms32fInit(quolmBnlms *filter, DT32S N, DT32S blockLen,
                             DT32F mu);

/** Sets up the record in the caller's buffers; allocates nothing. power starts
    at 1.0.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @param mu step size, normalised by the running input power Px (the mean of
      x(n)^2 over about 100 samples), so each coefficient moves by mu * err * x
      / Px. Converges for 0 < mu < 2/N independently of the input level; about
      0.5/N converges fast, smaller values give a lower final error
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N values for the delay line; zeroed here
    @return 0 on success; -2 when N < 1 or blockLen < 1; -1 when coefBuf or
      stateBuf is null. Every failure sets length to 0. */
QUOLM_API DT32S bnlms32fInitStatic(quolmBnlms *filter, DT32S N,
                                   DT32S blockLen, DT32F mu, DT32F *coefBuf,
                                   DT32F *stateBuf);

/** Runs blockLen NLMS steps: per sample it filters, forms e = d - y, updates
    power = 0.99 * power + 0.01 * x^2 and adapts by e * mu / (power + 1e-15)
    times each input sample.
    Silence guard: a power estimate below the smallest normal value (long
    digital silence) restarts from 1, as after Init, at the next non-zero
    sample.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0; -1 when the record's vectors are null (nothing done). The blocks
      are not checked. */
QUOLM_API DT32S bnlms32fFilterUpdate(quolmBnlms *filter, const DT32F *x,
                                     const DT32F *d, DT32F *y, DT32F *e);

/** Filters blockLen inputs into y and updates the power estimate; no
    adaptation.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param y blockLen outputs (written)
    @return 0, or -1 when the record's vectors are null */
QUOLM_API DT32S bnlms32fFilterOnly(quolmBnlms *filter, const DT32F *x,
                                   DT32F *y);

/** Releases the buffers that Init or Resize allocated; length keeps its value.
    Only for records made by Init; afterwards the record may only be set up
    again.
    @param filter a record made by Init */
QUOLM_API void bnlms32fFree(quolmBnlms *filter);

/** Zeroes the coefficients; the delay line and power stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S bnlms32fReset(quolmBnlms *filter);

/** Zeroes the delay line; coefficients, power and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S bnlms32fResetDelayLine(quolmBnlms *filter);

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
QUOLM_API DT32S bnlms32fGetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S bnlms32fSetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S bnlms32fGetDelayLine(quolmBnlms *filter, DT32F *values,
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
QUOLM_API DT32S bnlms32fSetDelayLine(quolmBnlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Changes N and blockLen, keeping the leading coefficients, the newest
    samples and the power estimate. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of coefficients, >= 1
    @param blockLen samples per block call, >= 1
    @return 0 (also when both sizes are unchanged); -2 when a size is below 1;
      -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S bnlms32fResize(quolmBnlms *filter, DT32S N, DT32S blockLen);

QUOLM_END_DECLS

#endif
