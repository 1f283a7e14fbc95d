/* SPDX-License-Identifier: MIT */
/** @file
    quolm: RLS lattice joint-process estimator: N least-squares lattice stages
   and a ladder that forms the estimate from the backward errors (DT32F
   build). */
#ifndef QUOLMRLSLATTICE32F_H
#define QUOLMRLSLATTICE32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An RLS lattice joint-process estimator: N least-squares lattice stages and
    a ladder forming the estimate from the backward errors. */
typedef struct {
  DT32F *fwdPower;   /**< N forward error powers F; 0.001 at the start */
  DT32F *bwdPower;   /**< N backward error powers B; 0.001 at the start */
  DT32F *crossCorr;  /**< N forward/delayed-backward correlations */
  DT32F *jointCorr;  /**< N estimation-error/backward-error correlations */
  DT32F *convFactor; /**< N conversion factors of the previous sample; 1.0 */
  DT32F *delayLine;  /**< N backward errors of orders 0..N-1 of the previous
                        sample; start of the state block */
  DT32F *fwdParcor;  /**< N forward reflection coefficients */
  DT32F *bwdParcor;  /**< N backward reflection coefficients */
  DT32F *coefs;      /**< N ladder coefficients; start of the coefficient block */
  DT32S length;      /**< N stages; 0 after Free or a failed Init */
  DT32F lambda;      /**< forgetting factor */
  DT32F err;         /**< a posteriori estimation error of the last update */
} quolmRlslattice;

/** Sets up N stages at their start values (error powers 0.001, conversion
    factors 1.0, the rest 0). Allocates.
    @param filter the record to set up (caller memory)
    @param N number of stages, >= 1
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @return 0 on success; -1 when filter is null; -2 when N < 1; -3 when an
      allocation fails (nothing stays allocated). Every failure sets length to
      0. */
QUOLM_API DT32S rlslattice32fInit(quolmRlslattice *filter, DT32S N,
                                  DT32F lambda);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of stages, >= 1
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @param coefBuf caller buffer of 3N values; set up here
    @param stateBuf caller buffer of 6N values; set up here
    @return 0 on success; -1 when filter, coefBuf or stateBuf is null (checked
      first); -2 when N < 1. Every failure sets length to 0. */
QUOLM_API DT32S rlslattice32fInitStatic(quolmRlslattice *filter, DT32S N,
                                        DT32F lambda, DT32F *coefBuf,
                                        DT32F *stateBuf);

/** Runs x through the lattice and adapts every stage toward d; err is the a
    posteriori estimation error.
    Silence guard: an error power never falls below the smallest normal
    DT32F, and a stage's conversion factor never below DT32F's epsilon (it
    keeps its value instead), so outputs stay finite through silence.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return the estimate y = d - err */
QUOLM_API DT32F rlslattice32fFilterUpdate(quolmRlslattice *filter, DT32F x,
                                          DT32F d);

/** Estimates from the stored coefficients; moves only the backward powers, the
    conversion factors and the delay line.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return the estimate */
QUOLM_API DT32F rlslattice32fFilterOnly(quolmRlslattice *filter, DT32F x);

/** Releases the blocks that Init or Resize allocated and sets length to 0.
    Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void rlslattice32fFree(quolmRlslattice *filter);

/** Returns every stage to its start values, delay line included; lambda and
    err stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when filter is null */
QUOLM_API DT32S rlslattice32fReset(quolmRlslattice *filter);

/** Copies elements of the ladder coefficients into values. L = N.
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
QUOLM_API DT32S rlslattice32fGetCoef(quolmRlslattice *filter, DT32F *values,
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
QUOLM_API DT32S rlslattice32fGetForwardParcors(quolmRlslattice *filter,
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
QUOLM_API DT32S rlslattice32fGetBackwardParcors(quolmRlslattice *filter,
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
QUOLM_API DT32S rlslattice32fGetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);

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
QUOLM_API DT32S rlslattice32fSetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);

/** Changes the number of stages, keeping the leading stages. Allocates; only
    for records made by Init.
    @param filter a record made by Init
    @param N number of stages, >= 1
    @return 0 (also when N is unchanged); -1 when filter is null; -2 when N <
      1; -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S rlslattice32fResize(quolmRlslattice *filter, DT32S N);

QUOLM_END_DECLS

#endif
