/* quolm: block LMS adaptive transversal filter with the sign-error,
   sign-regressor and sign-sign laws (DT32F build). Each call takes a block of
   blockLen samples and adapts after every sample, so a block gives the same
   results as blockLen single LMS steps. */
#ifndef QUOLMBLMS32F_H
#define QUOLMBLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* N; 0 after a failed Init */
  DT32S blockLen;   /* L, samples per FilterUpdate / FilterOnly call */
  DT32F mu;         /* step size */
  DT32F *coefs;     /* N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /* N samples, circular */
  DT32S index;      /* slot the next sample overwrites; 0 after Init */
} quolmBlms;

/* Sets up N zero coefficients and a zero delay line for blocks of blockLen.
   0, -2 (N or blockLen < 1) or -3. */
QUOLM_API DT32S blms32fInit(quolmBlms *filter, DT32S N, DT32S blockLen,
                            DT32F mu);
/* As Init on the caller's coefBuf and stateBuf (N values each, zeroed).
   0, -1 (null buffer) or -2. */
QUOLM_API DT32S blms32fInitStatic(quolmBlms *filter, DT32S N, DT32S blockLen,
                                  DT32F mu, DT32F *coefBuf, DT32F *stateBuf);

/* Filters the blockLen inputs x against the desired d, writing outputs y and
   errors e = d - y, and adapts after each sample. SignErr uses sign(e),
   SignReg the sign of each input sample, SignSign both (zero counts as
   positive). 0, or -1 for a null vector. */
QUOLM_API DT32S blms32fFilterUpdate(quolmBlms *filter, const DT32F *x,
                                    const DT32F *d, DT32F *y, DT32F *e);
QUOLM_API DT32S blms32fFilterUpdateSignErr(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e);
QUOLM_API DT32S blms32fFilterUpdateSignReg(quolmBlms *filter, const DT32F *x,
                                           const DT32F *d, DT32F *y, DT32F *e);
QUOLM_API DT32S blms32fFilterUpdateSignSign(quolmBlms *filter, const DT32F *x,
                                            const DT32F *d, DT32F *y,
                                            DT32F *e);
/* Filters blockLen inputs into y without adaptation. 0 or -1. */
QUOLM_API DT32S blms32fFilterOnly(quolmBlms *filter, const DT32F *x, DT32F *y);

/* Releases an Init-made record's buffers. */
QUOLM_API void blms32fFree(quolmBlms *filter);
/* Zeroes the coefficients / the delay line. 0 or -1. */
QUOLM_API DT32S blms32fReset(quolmBlms *filter);
QUOLM_API DT32S blms32fResetDelayLine(quolmBlms *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). The delay
   line is addressed by age, element 0 the newest sample. */
QUOLM_API DT32S blms32fGetCoef(quolmBlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse);
QUOLM_API DT32S blms32fSetCoef(quolmBlms *filter, DT32F *values, DT32S start,
                               DT32S count, DT32S reverse);
QUOLM_API DT32S blms32fGetDelayLine(quolmBlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S blms32fSetDelayLine(quolmBlms *filter, DT32F *values,
                                    DT32S start, DT32S count, DT32S reverse);
/* Changes N and blockLen, keeping the leading coefficients and the newest
   samples. 0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S blms32fResize(quolmBlms *filter, DT32S N, DT32S blockLen);

QUOLM_END_DECLS

#endif
