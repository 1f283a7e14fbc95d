/* SPDX-License-Identifier: MIT */
/** @file
    quolm: LMS lattice joint-process estimator: a gradient adaptive lattice
   turns the input into backward prediction errors, a ladder of coefficients
   combines them into the output (DT32F build). */
#ifndef QUOLMLMSLATTICE32F_H
#define QUOLMLMSLATTICE32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An LMS lattice joint-process estimator: a gradient adaptive lattice turns
    the input into backward prediction errors, and a ladder of coefficients
    combines them into the output. */
typedef struct {
  DT32S length;      /**< N ladder coefficients, N-1 lattice stages; 0 after
                        Free and after a failed Init */
  DT32F muParcor;    /**< step size of the reflection coefficients */
  DT32F muCoef;      /**< step size of the ladder coefficients */
  DT32F err;         /**< d - y of the last FilterUpdate */
  DT32S adaptParcor; /**< 1 after Init; 0 freezes the reflection coefficients */
  DT32F *parcor;     /**< N reflection coefficients (the last one is unused) */
  DT32F *coefs;      /**< N ladder coefficients; start of the 2N block */
  DT32F *delayLine;  /**< N backward errors of the last input; start of the
                        3N block */
  DT32F *power;      /**< N stage power estimates, 1 after Init */
  DT32F *scratch;    /**< N work values */
} quolmLmslattice;

/** Sets up zero coefficients and delay line with the stage powers at 1.0.
    Allocates.
    @param filter the record to set up (caller memory)
    @param N number of ladder coefficients, >= 1 (N-1 lattice stages)
    @param muParcor step size of the reflection coefficients, divided by the
      stage's running power estimate; converges for 0 < mu < about 2/N, about
      0.1/N is a safe start
    @param muCoef step size of the ladder coefficients, divided by the stage's
      running power estimate; converges for 0 < mu < about 2/N, about 0.1/N is
      a safe start
    @return 0 on success; -1 when filter is null; -2 when N < 1; -3 when an
      allocation fails (nothing stays allocated). Every failure sets length to
      0. */
QUOLM_API DT32S lmslattice32fInit(quolmLmslattice *filter, DT32S N,
                                  DT32F muParcor, DT32F muCoef);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of ladder coefficients, >= 1 (N-1 lattice stages)
    @param muParcor step size of the reflection coefficients, divided by the
      stage's running power estimate; converges for 0 < mu < about 2/N, about
      0.1/N is a safe start
    @param muCoef step size of the ladder coefficients, divided by the stage's
      running power estimate; converges for 0 < mu < about 2/N, about 0.1/N is
      a safe start
    @param coefBuf caller buffer of 2N values (ladder and reflection
      coefficients); zeroed here
    @param stateBuf caller buffer of 3N values (backward errors, powers, work);
      set up here
    @return 0 on success; -1 when filter, coefBuf or stateBuf is null (checked
      first); -2 when N < 1. Every failure sets length to 0. */
QUOLM_API DT32S lmslattice32fInitStatic(quolmLmslattice *filter, DT32S N,
                                        DT32F muParcor, DT32F muCoef,
                                        DT32F *coefBuf, DT32F *stateBuf);

/** Runs x through the lattice (adapting the reflection coefficients while
    adaptParcor is set), stores err = d - y and adapts the ladder.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F lmslattice32fFilterUpdate(quolmLmslattice *filter, DT32F x,
                                          DT32F d);

/** Runs x through the frozen lattice and ladder; the powers and the delay line
    still advance, err stays.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y */
QUOLM_API DT32F lmslattice32fFilterOnly(quolmLmslattice *filter, DT32F x);

/** Releases the blocks that Init or Resize allocated and clears the record
    (length 0). Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void lmslattice32fFree(quolmLmslattice *filter);

/** Zeroes the ladder and reflection coefficients; delay line and powers stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when filter is null */
QUOLM_API DT32S lmslattice32fReset(quolmLmslattice *filter);

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
QUOLM_API DT32S lmslattice32fGetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the ladder coefficients from values. L = N.
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
QUOLM_API DT32S lmslattice32fSetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the reflection coefficients (the last one is unused)
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
QUOLM_API DT32S lmslattice32fGetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse);

/** Copies elements of the reflection coefficients (the last one is unused)
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
QUOLM_API DT32S lmslattice32fSetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse);

/** Copies elements of the backward errors of the last input into values. L =
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
QUOLM_API DT32S lmslattice32fGetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);

/** Copies elements of the backward errors of the last input from values. L =
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
QUOLM_API DT32S lmslattice32fSetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);

/** Changes N, keeping the leading values of each vector; the powers restart at
    1.0. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of ladder coefficients, >= 1 (N-1 lattice stages)
    @return 0 (also when N is unchanged); -1 when filter is null; -2 when N <
      1; -3 when memory runs out. On failure the record is unchanged. */
QUOLM_API DT32S lmslattice32fResize(quolmLmslattice *filter, DT32S N);

QUOLM_END_DECLS

#endif
