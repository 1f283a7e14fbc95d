/* SPDX-License-Identifier: MIT */
/** @file
    quolm: transform-domain LMS filter. The weights live in the frequency
   domain of an M-point real FFT of the tapped delay line and each bin adapts
   with its own power-normalised step (DT32F build). */
#ifndef QUOLMTDLMS32F_H
#define QUOLMTDLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A transform-domain LMS filter: the weights live in the frequency domain of
    an M-point real FFT of the delay line, each bin with its own
    power-normalised step. */
typedef struct {
  DT32S length;     /**< L, the coefficients GetCoef/SetCoef show; 0 after Free
                       or a failed Init */
  DT32S fftSize;    /**< M = max(2, smallest power of two >= L): taps, delay-line
                       samples and weight values */
  DT32S bins;       /**< M/2 + 1 */
  DT32F mu;         /**< step size */
  DT32F err;        /**< d - y of the last adapting call */
  DT32F invScale;   /**< 2/M, the scale of the unscaled inverse transform */
  DT32S index;      /**< slot the next sample overwrites; M-1 after Init */
  DT32F *delayLine; /**< M samples, circular; start of the state block */
  DT32F *work;      /**< M values: spectrum of the current window */
  DT32F *coefs;     /**< M values: packed weight spectrum */
  DT32F *power;     /**< bins values: smoothed power per bin, DC first */
  DT32F *scratch;   /**< bins values: power spectrum of the current window */
  DT32F *fftTable;  /**< caller's FFT table set for at least M, not owned */
  DT32S *fftWork;   /**< caller's FFT counts and work area, not owned */
} quolmTdlms;

/** Sets up an L-tap filter on the caller's FFT tables with zero weights and
    bin powers at 1.0. Allocates.
    @param filter the record to set up (caller memory)
    @param N L, taps seen by GetCoef and SetCoef, >= 1; M = max(2, smallest
      power of two >= L)
    @param mu step size; each bin's step is divided by that bin's smoothed
      power (smoothing 0.98 per sample). Converges for 0 < mu < about 2/M once
      the powers have settled; they start at 1.0, so with loud input start
      smaller
    @param fftWork the counts and work area of the caller's FFT table set
      (quolmFftTables32f), built for at least M points; kept by pointer and
      written by every transform, so filters sharing a set must not run at the
      same time
    @param fftTable the twiddle and cosine table of the same set; kept by
      pointer, never released by the library
    @return 0 on success; -1 when fftWork or fftTable is null; -2 when N < 1 or
      the tables were built for fewer than M points; -3 when an allocation
      fails. Every failure sets length to 0. */
QUOLM_API DT32S tdlms32fInit(quolmTdlms *filter, DT32S N, DT32F mu,
                             DT32S *fftWork, DT32F *fftTable);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N L, taps seen by GetCoef and SetCoef, >= 1; M = max(2, smallest
      power of two >= L)
    @param mu step size; each bin's step is divided by that bin's smoothed
      power (smoothing 0.98 per sample). Converges for 0 < mu < about 2/M once
      the powers have settled; they start at 1.0, so with loud input start
      smaller
    @param coefBuf caller buffer of M values; zeroed here
    @param stateBuf caller buffer of 2M + 2(M/2 + 1) values; zeroed here
    @param fftWork the counts and work area of the caller's FFT table set
      (quolmFftTables32f), built for at least M points; kept by pointer and
      written by every transform, so filters sharing a set must not run at the
      same time
    @param fftTable the twiddle and cosine table of the same set; kept by
      pointer, never released by the library
    @return 0 on success; -1 when a table or buffer pointer is null; -2 as for
      Init. Every failure sets length to 0. */
QUOLM_API DT32S tdlms32fInitStatic(quolmTdlms *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf,
                                   DT32S *fftWork, DT32F *fftTable);

/** Shifts x in, transforms the window, filters, stores err = d - y and adapts
    each bin. Checks nothing.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F tdlms32fFilterUpdate(quolmTdlms *filter, DT32F x, DT32F d);

/** Shifts x in, filters and tracks the bin powers; no adaptation, err stays.
    @param filter a record set up by Init or InitStatic
    @param x input sample
    @return y */
QUOLM_API DT32F tdlms32fFilterOnly(quolmTdlms *filter, DT32F x);

/** FilterUpdate on the M-sample input vector the caller left in delayLine
    (element k = x(n-k)); stores no sample and leaves index.
    @param filter a record set up by Init or InitStatic
    @param d desired sample
    @return y, computed before the update */
QUOLM_API DT32F tdlms32fLCFilterUpdate(quolmTdlms *filter, DT32F d);

/** FilterOnly on the input vector in delayLine.
    @param filter a record set up by Init or InitStatic
    @return y */
QUOLM_API DT32F tdlms32fLCFilterOnly(quolmTdlms *filter);

/** Releases the buffers that Init or Resize allocated (never the FFT tables)
    and sets length to 0. Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void tdlms32fFree(quolmTdlms *filter);

/** Zeroes the weights; the bin powers and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S tdlms32fReset(quolmTdlms *filter);

/** Zeroes the delay line and the window; the bin powers and index stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when a pointer is null */
QUOLM_API DT32S tdlms32fResetDelayLine(quolmTdlms *filter);

/** Copies elements of the time-domain taps h[0 .. L-1] into values. L = N.
    Costs an inverse and a forward transform.
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
QUOLM_API DT32S tdlms32fGetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the time-domain taps h[0 .. L-1] from values. L = N.
    Costs an inverse and a forward transform.
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
QUOLM_API DT32S tdlms32fSetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the delay line by age: element 0 is the newest sample
    into values. L = M.
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
QUOLM_API DT32S tdlms32fGetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the delay line by age: element 0 is the newest sample
    from values. L = M.
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
QUOLM_API DT32S tdlms32fSetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);

/** Changes L on the same tables, keeping the leading taps, the newest samples
    and, at an unchanged M, the bin powers. Allocates; only for records made by
    Init.
    @param filter a record made by Init
    @param N L, taps seen by GetCoef and SetCoef, >= 1; M = max(2, smallest
      power of two >= L)
    @return 0 (also when L is unchanged); otherwise the code Init gives for the
      new L on the record's tables (-1, -2 or -3), and the record is unchanged. */
QUOLM_API DT32S tdlms32fResize(quolmTdlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
