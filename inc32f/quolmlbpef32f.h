/* SPDX-License-Identifier: MIT */
/** @file
    quolm: lattice backward prediction error filter: an order-N gradient
   adaptive lattice predicting the sample N steps back from the N newer ones
   (DT32F build). */
#ifndef QUOLMLBPEF32F_H
#define QUOLMLBPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A lattice backward prediction error filter: an order-N gradient adaptive
    lattice predicting the sample N steps back from the N newer ones. */
typedef struct {
  DT32S length;        /**< N, the prediction order (lattice stages); 0 after
                          Free and after a failed Init */
  DT32F mu;            /**< step size of the reflection coefficients */
  DT32F err;           /**< N-th order backward prediction error of the last
                          call */
  DT32S updateCoefs;   /**< 1 after Init; while set, FilterUpdate recomputes
                          coefs from parcor */
  DT32S index;         /**< ring slot of the newest input; N after Init */
  DT32F *parcor;       /**< N reflection coefficients */
  DT32F *coefs;        /**< N direct-form predictor coefficients; start of the
                          2N block */
  DT32F *delayLine;    /**< N+1 backward errors of the last input (the last one
                          stays 0); start of the 4(N+1) block */
  DT32F *power;        /**< N+1 stage power estimates, 1 after Init */
  DT32F *scratch;      /**< N+1 work values */
  DT32F *delayedInput; /**< ring of the last N+1 input samples */
} quolmLbpef;

/** Sets up zero coefficients and state with the stage powers at 1.0.
    Allocates.
    @param filter the record to set up (caller memory)
    @param N prediction order (lattice stages), >= 1
    @param mu step size of the reflection coefficients, divided by the stage's
      running power estimate; converges for 0 < mu < about 2/N, about 0.1/N is
      a safe start
    @return 0 on success; -1 when filter is null; -2 when N < 1; -3 when an
      allocation fails (nothing stays allocated). Every failure sets length to
      0. */
QUOLM_API DT32S lbpef32fInit(quolmLbpef *filter, DT32S N, DT32F mu);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N prediction order (lattice stages), >= 1
    @param mu step size of the reflection coefficients, divided by the stage's
      running power estimate; converges for 0 < mu < about 2/N, about 0.1/N is
      a safe start
    @param coefBuf caller buffer of 2N values (reflection and direct-form
      coefficients); zeroed here
    @param stateBuf caller buffer of 4(N+1) values; set up here
    @return 0 on success; -1 when filter, coefBuf or stateBuf is null (checked
      first); -2 when N < 1. Every failure sets length to 0. */
QUOLM_API DT32S lbpef32fInitStatic(quolmLbpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf);

/** Runs x through the adapting lattice and stores the N-th order backward
    prediction error in err; while updateCoefs is set it also recomputes the
    direct-form coefficients (O(N^2) per sample).
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return the prediction of the input N steps back: that sample minus err
      (0 - err for the first N calls) */
QUOLM_API DT32F lbpef32fFilterUpdate(quolmLbpef *filter, DT32F x);

/** As FilterUpdate with the reflection and direct-form coefficients frozen.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return the prediction, as FilterUpdate */
QUOLM_API DT32F lbpef32fFilterOnly(quolmLbpef *filter, DT32F x);

/** Releases the blocks that Init or Resize allocated and clears the record
    (length 0). Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void lbpef32fFree(quolmLbpef *filter);

/** Zeroes the reflection and direct-form coefficients; delay line, powers and
    input ring stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when filter is null */
QUOLM_API DT32S lbpef32fReset(quolmLbpef *filter);

/** Copies elements of the direct-form predictor coefficients into values. L =
    N.
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
QUOLM_API DT32S lbpef32fGetCoef(quolmLbpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);

/** Copies elements of the direct-form predictor coefficients from values. L =
    N.
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
QUOLM_API DT32S lbpef32fSetCoef(quolmLbpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);

/** Copies elements of the reflection coefficients into values. L = N.
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
QUOLM_API DT32S lbpef32fGetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the reflection coefficients from values. L = N.
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
QUOLM_API DT32S lbpef32fSetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the first N backward errors of the last input into
    values. L = N.
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
QUOLM_API DT32S lbpef32fGetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the first N backward errors of the last input from
    values. L = N.
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
QUOLM_API DT32S lbpef32fSetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Changes N, keeping the leading values of each vector; the powers restart at
    1.0. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N prediction order (lattice stages), >= 1
    @return 0 (also when N is unchanged); -1 when filter is null; -2 when N <
      1; -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S lbpef32fResize(quolmLbpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
