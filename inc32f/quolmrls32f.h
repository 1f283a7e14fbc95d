/* SPDX-License-Identifier: MIT */
/** @file
    quolm: exponentially weighted recursive-least-squares adaptive transversal
   filter with a linear delay line (DT32F build). P, the estimate of the inverse
   input correlation matrix, is kept as its packed lower triangle. */
#ifndef QUOLMRLS32F_H
#define QUOLMRLS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An exponentially weighted RLS adaptive transversal filter with a linear
    delay line; P, the inverse input correlation matrix, is kept as its packed
    lower triangle. */
typedef struct {
  DT32S length;     /**< N; 0 after Free and after a failed Init */
  DT32F lambda;     /**< forgetting factor */
  DT32F invLambda;  /**< 1/lambda */
  DT32F err;        /**< d - y of the last adapting call */
  DT32F *coefs;     /**< N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /**< N samples, linear: element k is x(n-k); start of the
                       state block */
  DT32F *invCorr;   /**< P, lower triangle row by row: P(r,j) at r(r+1)/2 + j */
  DT32F *gain;      /**< N work values (P*x during an update) */
} quolmRls;

/** Sets up N zero coefficients, a zero delay line and P = delta * I.
    Allocates.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1; the work grows as N^2 per sample
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @param delta initial diagonal of the inverse correlation matrix: P starts
      as delta * I, with 0 <= delta <= 1 (many textbooks start from P =
      I/delta, with a small delta; here delta is that matrix's diagonal
      itself). Larger values adapt faster at the start; 0 never adapts. Values
      outside 0 .. 1 or not a number are refused
    @return 0 on success; -2 when N < 1 or delta is outside 0 .. 1 or not a
      number; -3 when an allocation fails (nothing stays allocated). Every
      failure sets length to 0. */
QUOLM_API DT32S rls32fInit(quolmRls *filter, DT32S N, DT32F lambda,
                           DT32F delta);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of coefficients, >= 1; the work grows as N^2 per sample
    @param lambda forgetting factor, 0 < lambda <= 1: the memory is about
      1/(1-lambda) samples. Typical values 0.99 .. 0.9999; 1 never forgets. Any
      value is accepted; below about 0.9 the estimate becomes noisy, and values
      above 1 or at 0 make the recursion grow without bound
    @param delta initial diagonal of the inverse correlation matrix: P starts
      as delta * I, with 0 <= delta <= 1 (many textbooks start from P =
      I/delta, with a small delta; here delta is that matrix's diagonal
      itself). Larger values adapt faster at the start; 0 never adapts. Values
      outside 0 .. 1 or not a number are refused
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N(N+1)/2 + 2N values (delay line, P,
      gain); set up here
    @return 0 on success; -1 when coefBuf or stateBuf is null; -2 as for Init.
      Every failure sets length to 0. */
QUOLM_API DT32S rls32fInitStatic(quolmRls *filter, DT32S N, DT32F lambda,
                                 DT32F delta, DT32F *coefBuf,
                                 DT32F *stateBuf);

/** Shifts x into the delay line, filters, stores err = d - y and updates the
    coefficients and P. Silence guard: when P's largest diagonal element
    times 1/lambda would pass the square root of the largest sample value
    (2^64 single, 2^512 double), P skips the 1/lambda scaling for that
    sample, so long silence cannot overflow it.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F rls32fFilterUpdate(quolmRls *filter, DT32F x, DT32F d);

/** Shifts x in and filters; P still takes in the sample, the coefficients and
    err stay.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y */
QUOLM_API DT32F rls32fFilterOnly(quolmRls *filter, DT32F x);

/** FilterUpdate on the input vector the caller left in delayLine (element k =
    x(n-k)).
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F rls32fLCFilterUpdate(quolmRls *filter, DT32F d);

/** FilterOnly on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @return y */
QUOLM_API DT32F rls32fLCFilterOnly(quolmRls *filter);

/** Releases the blocks that Init or Resize allocated and sets length to 0.
    Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void rls32fFree(quolmRls *filter);

/** Zeroes the coefficients; P and the delay line stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S rls32fReset(quolmRls *filter);

/** Zeroes the delay line; P and the coefficients stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the delay-line pointer is null */
QUOLM_API DT32S rls32fResetDelayLine(quolmRls *filter);

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
QUOLM_API DT32S rls32fGetCoef(quolmRls *filter, DT32F *values, DT32S start,
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
QUOLM_API DT32S rls32fSetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);

/** Copies elements of the linear delay line: element k is x(n-k) into values.
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
QUOLM_API DT32S rls32fGetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the linear delay line: element k is x(n-k) from values.
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
QUOLM_API DT32S rls32fSetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);

/** Changes N, keeping the leading coefficients and the newest samples; P
    restarts at 0.01 * I. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of coefficients, >= 1; the work grows as N^2 per sample
    @return 0 (also when N is unchanged); -2 when N < 1; -3 when memory runs
      out. On failure the record is unchanged. */
QUOLM_API DT32S rls32fResize(quolmRls *filter, DT32S N);

QUOLM_END_DECLS

#endif
