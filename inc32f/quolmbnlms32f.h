/* quolm: block NLMS adaptive transversal filter (DT32F build). Each call takes
   a block of blockLen samples and adapts after every sample by a step divided
   by a running average of the squared newest input sample. */
#ifndef QUOLMBNLMS32F_H
#define QUOLMBNLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* N; 0 after a failed Init */
  DT32S blockLen;   /* L, samples per FilterUpdate / FilterOnly call */
  DT32F mu;         /* step size */
  DT32F *coefs;     /* N coefficients; coefs[k] weights x(n-k) */
  DT32F power;      /* running input power estimate; 1.0 after Init */
  DT32F *delayLine; /* N samples, circular */
  DT32S index;      /* slot the next sample overwrites; 0 after Init */
} quolmBnlms;

/* Sets up N zero coefficients, a zero delay line and power 1 for blocks of
   blockLen. 0, -2 (N or blockLen < 1) or -3. */
QUOLM_API DT32S bnlms32fInit(quolmBnlms *filter, DT32S N, DT32S blockLen,
                             DT32F mu);
/* As Init on the caller's coefBuf and stateBuf (N values each, zeroed).
   0, -1 (null buffer) or -2. */
QUOLM_API DT32S bnlms32fInitStatic(quolmBnlms *filter, DT32S N,
                                   DT32S blockLen, DT32F mu, DT32F *coefBuf,
                                   DT32F *stateBuf);
/* Filters the blockLen inputs x against d, writing y and e = d - y; per
   sample it updates the power estimate and adapts by
   e*mu/(power + 1e-15). 0, or -1 for a null vector. Silence guard: a power
   estimate below the smallest normal value (long digital silence) restarts
   from 1, as after Init, at the next non-zero sample. */
QUOLM_API DT32S bnlms32fFilterUpdate(quolmBnlms *filter, const DT32F *x,
                                     const DT32F *d, DT32F *y, DT32F *e);
/* Filters blockLen inputs into y and updates the power estimate; no
   adaptation. 0 or -1. */
QUOLM_API DT32S bnlms32fFilterOnly(quolmBnlms *filter, const DT32F *x,
                                   DT32F *y);

/* Releases an Init-made record's buffers. */
QUOLM_API void bnlms32fFree(quolmBnlms *filter);
/* Zeroes the coefficients / the delay line (power unchanged). 0 or -1. */
QUOLM_API DT32S bnlms32fReset(quolmBnlms *filter);
QUOLM_API DT32S bnlms32fResetDelayLine(quolmBnlms *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). The delay
   line is addressed by age, element 0 the newest sample. */
QUOLM_API DT32S bnlms32fGetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S bnlms32fSetCoef(quolmBnlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S bnlms32fGetDelayLine(quolmBnlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S bnlms32fSetDelayLine(quolmBnlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
/* Changes N and blockLen, keeping the leading coefficients, the newest
   samples and the power estimate. 0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S bnlms32fResize(quolmBnlms *filter, DT32S N, DT32S blockLen);

QUOLM_END_DECLS

#endif
