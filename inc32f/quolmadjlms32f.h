/* SPDX-License-Identifier: MIT */
/** @file
    quolm: adjoint LMS filter for control through a secondary path (DT32F
   build). The adaptive filter's output reaches the error point through the
   caller's secondary path; the error is filtered through the time-reversed
   model of that path and correlated with the correspondingly delayed
   reference. */
#ifndef QUOLMADJLMS32F_H
#define QUOLMADJLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** An adjoint LMS filter for control through a secondary path: the error is
    filtered through the time-reversed path model. */
typedef struct {
  DT32S length;        /**< N, adaptive taps; 0 after a failed Init */
  DT32S secLength;     /**< Ns, taps of the secondary path */
  DT32S modelLength;   /**< Nm, taps of the secondary-path model */
  DT32S refLength;     /**< N + Nm - 1, slots of the reference delay line */
  DT32F mu;            /**< step size */
  DT32F err;           /**< error at the error point of the last FilterUpdate */
  DT32F power;         /**< smoothed power of a delayed reference sample */
  DT32F *coefs;        /**< N adaptive coefficients */
  DT32F *secPath;      /**< the caller's Ns path taps, read at every call */
  DT32F *secModel;     /**< the caller's Nm model taps, read at every call */
  DT32F *outDelayLine; /**< Ns outputs, circular; start of the state block */
  DT32F *errDelayLine; /**< Nm errors, circular */
  DT32F *delayLine;    /**< refLength reference samples, circular */
  DT32S index;         /**< slot of delayLine the next sample overwrites */
  DT32S outIndex;      /**< slot of outDelayLine the next output overwrites */
  DT32S errIndex;      /**< slot of errDelayLine the next error overwrites */
} quolmAdjlms;

/** Sets up N zero coefficients, zero histories and power 1.0 on the caller's
    path and model. Allocates.
    @param filter the record to set up (caller memory)
    @param N number of adaptive coefficients, >= 1
    @param mu step size, normalised by the running power of the delayed
      reference (smoothed over about 100 samples). Converges for 0 < mu <
      2/(N + 2D), D the delay of the secondary path in samples; start with a
      tenth of that
    @param secPath the caller's Ns taps of the secondary path (loudspeaker to
      error microphone); read at every call by pointer, never copied
    @param secLength Ns, taps of secPath, >= 1
    @param secModel the caller's Nm taps of the model of the secondary path
      used in the update; read at every call by pointer, never copied
    @param modelLength Nm, taps of secModel, >= 1
    @return 0 on success; -2 when N, Ns or Nm is below 1; -1 when secPath or
      secModel is null; -3 when an allocation fails (nothing stays allocated).
      Every failure sets length to 0. */
QUOLM_API DT32S adjlms32fInit(quolmAdjlms *filter, DT32S N, DT32F mu,
                              DT32F *secPath, DT32S secLength,
                              DT32F *secModel, DT32S modelLength);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N number of adaptive coefficients, >= 1
    @param mu step size, normalised by the running power of the delayed
      reference (smoothed over about 100 samples). Converges for 0 < mu <
      2/(N + 2D), D the delay of the secondary path in samples; start with a
      tenth of that
    @param secPath the caller's Ns taps of the secondary path (loudspeaker to
      error microphone); read at every call by pointer, never copied
    @param secLength Ns, taps of secPath, >= 1
    @param secModel the caller's Nm taps of the model of the secondary path
      used in the update; read at every call by pointer, never copied
    @param modelLength Nm, taps of secModel, >= 1
    @param coefBuf caller buffer of N values for the coefficients; zeroed here
    @param stateBuf caller buffer of N + 2 Nm + Ns - 1 values for the three
      histories; zeroed here
    @return 0 on success; -2 when a size is below 1; -1 when secPath, secModel,
      coefBuf or stateBuf is null. Every failure sets length to 0. */
QUOLM_API DT32S adjlms32fInitStatic(quolmAdjlms *filter, DT32S N, DT32F mu,
                                    DT32F *secPath, DT32S secLength,
                                    DT32F *secModel, DT32S modelLength,
                                    DT32F *coefBuf, DT32F *stateBuf);

/** Filters the reference x, passes the output through the secondary path,
    forms err = that output + d, filters the error history through the
    time-reversed model and adapts against the correspondingly delayed
    reference.
    @param filter a record set up by Init or InitStatic
    @param x reference sample
    @param d the disturbance at the error point (the error is the
      secondary-path output plus d)
    @return the secondary-path output */
QUOLM_API DT32F adjlms32fFilterUpdate(quolmAdjlms *filter, DT32F x, DT32F d);

/** The same filtering without adaptation; the power estimate still follows the
    delayed reference, the error history stays.
    @param filter a record set up by Init or InitStatic
    @param x reference sample
    @return the secondary-path output */
QUOLM_API DT32F adjlms32fFilterOnly(quolmAdjlms *filter, DT32F x);

/** Releases the buffers that Init or Resize allocated (never the path or
    model) and sets their pointers to null; length keeps its value. Only for
    records made by Init.
    @param filter a record made by Init */
QUOLM_API void adjlms32fFree(quolmAdjlms *filter);

/** Zeroes the coefficients; the delay line stays.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S adjlms32fReset(quolmAdjlms *filter);

/** Zeroes the three histories (reference, output, error); the indices and
    power stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when a history pointer is null */
QUOLM_API DT32S adjlms32fResetDelayLine(quolmAdjlms *filter);

/** Copies elements of the adaptive coefficients into values. L = N.
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
QUOLM_API DT32S adjlms32fGetCoef(quolmAdjlms *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the adaptive coefficients from values. L = N.
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
QUOLM_API DT32S adjlms32fSetCoef(quolmAdjlms *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the reference history by age: element 0 is the newest
    sample into values. L = N + Nm - 1.
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
QUOLM_API DT32S adjlms32fGetDelayLine(quolmAdjlms *filter, DT32F *values,
                                      DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the reference history by age: element 0 is the newest
    sample from values. L = N + Nm - 1.
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
QUOLM_API DT32S adjlms32fSetDelayLine(quolmAdjlms *filter, DT32F *values,
                                      DT32S start, DT32S count, DT32S reverse);

/** Changes N, keeping the leading coefficients, the newest values of each
    history and the power estimate. Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N number of adaptive coefficients, >= 1
    @return 0 (also when N is unchanged); -2 when N < 1; -3 when memory runs
      out. On failure the record is unchanged. */
QUOLM_API DT32S adjlms32fResize(quolmAdjlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
