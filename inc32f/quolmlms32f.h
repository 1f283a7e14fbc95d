/* quolm: LMS adaptive transversal filter with the sign-error, sign-regressor
   and sign-sign laws, circular and LC forms (DT32F build). */
#ifndef QUOLMLMS32F_H
#define QUOLMLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* N; 0 after a failed Init */
  DT32F mu;         /* step size */
  DT32F err;        /* d - y of the last adapting call */
  DT32F *coefs;     /* N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /* N samples, circular; the input vector of LC forms */
  DT32S index;      /* slot the next sample overwrites; N-1 after Init */
} quolmLms;

/* Sets up N zero coefficients and a zero delay line. 0, -2 (N < 1), -3. */
QUOLM_API DT32S lms32fInit(quolmLms *filter, DT32S N, DT32F mu);
/* As Init on the caller's coefBuf and stateBuf (N values each, zeroed).
   0, -1 (null buffer) or -2. */
QUOLM_API DT32S lms32fInitStatic(quolmLms *filter, DT32S N, DT32F mu,
                                 DT32F *coefBuf, DT32F *stateBuf);

/* Filters x, forms err = d - y and adapts; returns y from before the update.
   SignErr uses sign(err), SignReg the sign of each input sample, SignSign
   both (zero counts as positive). */
QUOLM_API DT32F lms32fFilterUpdate(quolmLms *filter, DT32F x, DT32F d);
QUOLM_API DT32F lms32fFilterUpdateSignErr(quolmLms *filter, DT32F x, DT32F d);
QUOLM_API DT32F lms32fFilterUpdateSignReg(quolmLms *filter, DT32F x, DT32F d);
QUOLM_API DT32F lms32fFilterUpdateSignSign(quolmLms *filter, DT32F x, DT32F d);
/* The same on the input vector held in delayLine (element k = x(n-k)). */
QUOLM_API DT32F lms32fLCFilterUpdate(quolmLms *filter, DT32F d);
QUOLM_API DT32F lms32fLCFilterUpdateSignErr(quolmLms *filter, DT32F d);
QUOLM_API DT32F lms32fLCFilterUpdateSignReg(quolmLms *filter, DT32F d);
QUOLM_API DT32F lms32fLCFilterUpdateSignSign(quolmLms *filter, DT32F d);
/* Filtering without adaptation (err unchanged). */
QUOLM_API DT32F lms32fFilterOnly(quolmLms *filter, DT32F x);
QUOLM_API DT32F lms32fLCFilterOnly(quolmLms *filter);

/* Releases an Init-made record's buffers. */
QUOLM_API void lms32fFree(quolmLms *filter);
/* Zeroes the coefficients / the delay line. 0 or -1. */
QUOLM_API DT32S lms32fReset(quolmLms *filter);
QUOLM_API DT32S lms32fResetDelayLine(quolmLms *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). The delay
   line is addressed by age, element 0 the newest sample. */
QUOLM_API DT32S lms32fGetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S lms32fSetCoef(quolmLms *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S lms32fGetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lms32fSetDelayLine(quolmLms *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading coefficients and the newest samples.
   0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S lms32fResize(quolmLms *filter, DT32S N);

QUOLM_END_DECLS

#endif
