/* SPDX-License-Identifier: MIT */
/** @file
    quolm: RLS lattice backward prediction error filter of order N, with
   optional direct-form predictor coefficients (DT32F build). */
#ifndef QUOLMRLSLBPEF32F_H
#define QUOLMRLSLBPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An RLS lattice backward prediction error filter of order N, with optional
    direct-form predictor coefficients. */
typedef struct {
  DT32F *fwdPower;     /**< N forward error powers F; 0.001 at the start */
  DT32F *bwdPower;     /**< N backward error powers B; 0.001 at the start */
  DT32F *crossCorr;    /**< N forward/delayed-backward correlations */
  DT32F *convFactor;   /**< N conversion factors of the previous sample; 1.0 */
  DT32F *delayLine;    /**< N backward errors of orders 0..N-1 of the previous
                          sample; start of the state block */
  DT32F *fwdParcor;    /**< N forward reflection coefficients */
  DT32F *bwdParcor;    /**< N backward reflection coefficients */
  DT32F *coefs;        /**< N direct-form coefficients from bwdParcor; start of
                          the coefficient block */
  DT32F *delayedInput; /**< ring of the last N+1 input samples */
  DT32S index;         /**< ring slot of the newest sample; N after Init */
  DT32S length;        /**< order N; 0 after Free or a failed Init */
  DT32F lambda;        /**< forgetting factor */
  DT32F err;           /**< backward prediction error of order N, last call */
  DT32S updateCoefs;   /**< non-zero: every call recomputes coefs; 1 after Init */
} quolmRlslbpef;

/** Sets up N stages at their start values and a zero input ring. Allocates.
    @param filter the record to set up (caller memory)
    @param N prediction order, >= 1
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @return 0 on success; -1 when filter is null; -2 when N < 1; -3 when an
      allocation fails (nothing stays allocated). Every failure sets length to
      0. */
QUOLM_API DT32S rlslbpef32fInit(quolmRlslbpef *filter, DT32S N, DT32F lambda);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N prediction order, >= 1
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @param coefBuf caller buffer of 3N values; set up here
    @param stateBuf caller buffer of 6N + 1 values; set up here
    @return 0 on success; -1 when filter, coefBuf or stateBuf is null (checked
      first); -2 when N < 1. Every failure sets length to 0. */
QUOLM_API DT32S rlslbpef32fInitStatic(quolmRlslbpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf);

/** Runs x through the adapting lattice and stores the backward prediction
    error in err; while updateCoefs is set it also recomputes the direct-form
    coefficients (O(N^2) per sample).
    Silence guard: an error power never falls below the smallest normal
    DT32F, and a stage's conversion factor never below DT32F's epsilon (it
    keeps its value instead), so outputs stay finite through silence.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return the prediction of x(n-N) from the N newer samples, x(n-N) - err */
QUOLM_API DT32F rlslbpef32fFilterUpdate(quolmRlslbpef *filter, DT32F x);

/** As FilterUpdate with the reflection coefficients held.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return the prediction, as FilterUpdate */
QUOLM_API DT32F rlslbpef32fFilterOnly(quolmRlslbpef *filter, DT32F x);

/** Releases the blocks that Init or Resize allocated and sets length to 0.
    Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void rlslbpef32fFree(quolmRlslbpef *filter);

/** Returns every stage and the input ring to their start values; index and
    updateCoefs stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when filter is null */
QUOLM_API DT32S rlslbpef32fReset(quolmRlslbpef *filter);

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
QUOLM_API DT32S rlslbpef32fGetCoef(quolmRlslbpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the forward reflection coefficients into values. L = N.
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
QUOLM_API DT32S rlslbpef32fGetForwardParcors(quolmRlslbpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse);

/** Copies elements of the backward reflection coefficients into values. L = N.
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
QUOLM_API DT32S rlslbpef32fGetBackwardParcors(quolmRlslbpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse);

/** Copies elements of the backward errors of orders 0 .. N-1 of the previous
    sample into values. L = N.
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
QUOLM_API DT32S rlslbpef32fGetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);

/** Copies elements of the backward errors of orders 0 .. N-1 of the previous
    sample from values. L = N.
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
QUOLM_API DT32S rlslbpef32fSetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);

/** Changes the order, keeping the leading stages; index restarts at N.
    Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N prediction order, >= 1
    @return 0 (also when N is unchanged); -1 when filter is null; -2 when N <
      1; -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S rlslbpef32fResize(quolmRlslbpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
