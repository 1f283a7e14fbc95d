/* quolm: fixed FIR filter over a circular delay line (DT32F build).
   y(n) = sum_k coefs[k] * x(n-k); the coefficients stay the caller's. */
#ifndef QUOLMFIR32F_H
#define QUOLMFIR32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32F *coefs;     /* the caller's N coefficients, never copied */
  DT32S length;     /* N; 0 after a failed Init and after Free */
  DT32F *delayLine; /* N samples, circular */
  DT32S index;      /* slot the next sample overwrites; N-1 after Init */
} quolmFir;

/* Sets up a filter on the caller's coefs (N values) with an allocated delay
   line. 0, -1 (coefs null), -2 (N < 1) or -3 (no memory). */
QUOLM_API DT32S fir32fInit(quolmFir *filter, DT32S N, DT32F *coefs);
/* As Init with the caller's delay-line buffer stateBuf (N values, zeroed). */
QUOLM_API DT32S fir32fInitStatic(quolmFir *filter, DT32S N, DT32F *coefs,
                                 DT32F *stateBuf);
/* Filters one sample. */
QUOLM_API DT32F fir32fFilter(quolmFir *filter, DT32F x);
/* Output for the input vector held in delayLine (element k = x(n-k)). */
QUOLM_API DT32F fir32fLCFilter(quolmFir *filter);
/* Filters N samples of x into y (x and y may be the same array).
   0, or -1 when the record, x or y is null. */
QUOLM_API DT32S fir32fBlockFilter(quolmFir *filter, const DT32F *x, DT32F *y,
                                  DT32S N);
/* Releases an Init-made delay line and sets length to 0. */
QUOLM_API void fir32fFree(quolmFir *filter);
/* Zeroes the delay line (index unchanged). 0 or -1. */
QUOLM_API DT32S fir32fResetDelayLine(quolmFir *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). */
QUOLM_API DT32S fir32fGetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S fir32fSetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S fir32fGetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S fir32fSetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
/* Changes the length, keeping the newest samples; coefficients beyond the old
   length are zeroed in the caller's array. 0 or a negative code. */
QUOLM_API DT32S fir32fResize(quolmFir *filter, DT32S N);

QUOLM_END_DECLS

#endif
