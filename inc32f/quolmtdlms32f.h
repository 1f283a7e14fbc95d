/* quolm: transform-domain LMS filter. The weights live in the frequency
   domain of an M-point real FFT of the tapped delay line and each bin adapts
   with its own power-normalised step (DT32F build). */
#ifndef QUOLMTDLMS32F_H
#define QUOLMTDLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* L, the coefficients GetCoef/SetCoef show; 0 after Free
                       or a failed Init */
  DT32S fftSize;    /* M = max(2, smallest power of two >= L): taps, delay-line
                       samples and weight values */
  DT32S bins;       /* M/2 + 1 */
  DT32F mu;         /* step size */
  DT32F err;        /* d - y of the last adapting call */
  DT32F invScale;   /* 2/M, the scale of the unscaled inverse transform */
  DT32S index;      /* slot the next sample overwrites; M-1 after Init */
  DT32F *delayLine; /* M samples, circular; start of the state block */
  DT32F *work;      /* M values: spectrum of the current window */
  DT32F *coefs;     /* M values: packed weight spectrum */
  DT32F *power;     /* bins values: smoothed power per bin, DC first */
  DT32F *scratch;   /* bins values: power spectrum of the current window */
  DT32F *fftTable;  /* caller's FFT table set for at least M, not owned */
  DT32S *fftWork;   /* caller's FFT counts and work area, not owned */
} quolmTdlms;

/* Sets up an L = N tap filter on the caller's FFT tables (built for at least
   M points, kept by pointer). 0, -1 (null table), -2 (N < 1 or tables too
   small), -3 (out of memory). */
QUOLM_API DT32S tdlms32fInit(quolmTdlms *filter, DT32S N, DT32F mu,
                             DT32S *fftWork, DT32F *fftTable);
/* As Init on the caller's coefBuf (M values) and stateBuf (2*M + 2*bins
   values). 0, -1 (null buffer or table) or -2. */
QUOLM_API DT32S tdlms32fInitStatic(quolmTdlms *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf,
                                   DT32S *fftWork, DT32F *fftTable);

/* Filters x, forms err = d - y and adapts each bin; returns y from before
   the update. */
QUOLM_API DT32F tdlms32fFilterUpdate(quolmTdlms *filter, DT32F x, DT32F d);
/* Filters x and tracks the bin powers without adapting (err unchanged). */
QUOLM_API DT32F tdlms32fFilterOnly(quolmTdlms *filter, DT32F x);
/* The same two on the input vector held in delayLine (element k = x(n-k));
   nothing is stored and index stays. */
QUOLM_API DT32F tdlms32fLCFilterUpdate(quolmTdlms *filter, DT32F d);
QUOLM_API DT32F tdlms32fLCFilterOnly(quolmTdlms *filter);

/* Releases an Init-made record's buffers (not the FFT tables). */
QUOLM_API void tdlms32fFree(quolmTdlms *filter);
/* Zeroes the weights / the delay line and window; the bin powers and index
   stay. 0 or -1. */
QUOLM_API DT32S tdlms32fReset(quolmTdlms *filter);
QUOLM_API DT32S tdlms32fResetDelayLine(quolmTdlms *filter);
/* Copies of the time-domain taps h[0..L-1] and of the M-sample delay line
   (by age, element 0 the newest): number copied, -1 (null) or -2 (range). */
QUOLM_API DT32S tdlms32fGetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S tdlms32fSetCoef(quolmTdlms *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S tdlms32fGetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S tdlms32fSetDelayLine(quolmTdlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
/* Changes L on the same tables, keeping the leading taps, the newest samples
   and, at an unchanged M, the bin powers. 0, -1, -2 or -3 (record unchanged
   on failure). */
QUOLM_API DT32S tdlms32fResize(quolmTdlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
