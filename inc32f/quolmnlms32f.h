/* quolm: normalised LMS adaptive transversal filter, circular and LC forms
   (DT32F build). The step is divided by a running average of the squared
   newest input sample. */
#ifndef QUOLMNLMS32F_H
#define QUOLMNLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* N; 0 after a failed Init */
  DT32F mu;         /* step size */
  DT32F err;        /* d - y of the last adapting call */
  DT32F power;      /* running input power estimate; 1.0 after Init */
  DT32F *coefs;     /* N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /* N samples, circular; the input vector of LC forms */
  DT32S index;      /* slot the next sample overwrites; N-1 after Init */
} quolmNlms;

/* Sets up N zero coefficients, a zero delay line and power 1.
   0, -2 (N < 1) or -3. */
QUOLM_API DT32S nlms32fInit(quolmNlms *filter, DT32S N, DT32F mu);
/* As Init on the caller's coefBuf and stateBuf (N values each, zeroed).
   0, -1 (null buffer) or -2. */
QUOLM_API DT32S nlms32fInitStatic(quolmNlms *filter, DT32S N, DT32F mu,
                                  DT32F *coefBuf, DT32F *stateBuf);
/* Filters x, forms err = d - y, updates the power estimate and adapts by
   mu*err/(power + 1e-12); returns y from before the update. Silence guard: a
   power estimate below the smallest normal value (long digital silence)
   restarts from 1, as after Init, at the next non-zero sample. */
QUOLM_API DT32F nlms32fFilterUpdate(quolmNlms *filter, DT32F x, DT32F d);
/* Filters x and updates the power estimate; no adaptation. */
QUOLM_API DT32F nlms32fFilterOnly(quolmNlms *filter, DT32F x);
/* The same on the input vector held in delayLine (element 0 the newest). */
QUOLM_API DT32F nlms32fLCFilterUpdate(quolmNlms *filter, DT32F d);
QUOLM_API DT32F nlms32fLCFilterOnly(quolmNlms *filter);

/* Releases an Init-made record's buffers. */
QUOLM_API void nlms32fFree(quolmNlms *filter);
/* Zeroes the coefficients / the delay line (power unchanged). 0 or -1. */
QUOLM_API DT32S nlms32fReset(quolmNlms *filter);
QUOLM_API DT32S nlms32fResetDelayLine(quolmNlms *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). */
QUOLM_API DT32S nlms32fGetCoef(quolmNlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse);
QUOLM_API DT32S nlms32fSetCoef(quolmNlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse);
QUOLM_API DT32S nlms32fGetDelayLine(quolmNlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S nlms32fSetDelayLine(quolmNlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading coefficients, the newest samples and the
   power estimate. 0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S nlms32fResize(quolmNlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
