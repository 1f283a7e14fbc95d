/* quolm: filtered-x LMS filter for control through a secondary path, as in
   active noise control (DT32F build). The adaptive filter's output reaches the
   error point through the caller's secondary path; the reference is filtered
   through the caller's model of that path before it enters the update. */
#ifndef QUOLMFXLMS32F_H
#define QUOLMFXLMS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;         /* N, adaptive taps; 0 after a failed Init */
  DT32S secLength;      /* Ns, taps of the secondary path */
  DT32S modelLength;    /* Nm, taps of the secondary-path model */
  DT32S refLength;      /* max(N, Nm), slots of the reference delay line */
  DT32F mu;             /* step size */
  DT32F err;            /* error at the error point of the last FilterUpdate */
  DT32F power;          /* smoothed filtered-reference power; 1.0 after Init */
  DT32F *coefs;         /* N adaptive coefficients */
  DT32F *secPath;       /* the caller's Ns path taps, read at every call */
  DT32F *secModel;      /* the caller's Nm model taps, read at every call */
  DT32F *outDelayLine;  /* Ns outputs, circular; start of the state block */
  DT32F *filtDelayLine; /* N filtered-reference values, circular */
  DT32F *delayLine;     /* refLength reference samples, circular */
  DT32S index;          /* slot of delayLine the next sample overwrites */
  DT32S outIndex;       /* slot of outDelayLine the next output overwrites */
  DT32S filtIndex;      /* slot of filtDelayLine holding the newest value */
} quolmFxlms;

/* Sets up N zero coefficients, zero histories and power 1; secPath and
   secModel stay referenced, never copied. 0, -2 (a size < 1), -1 (null path
   or model) or -3. */
QUOLM_API DT32S fxlms32fInit(quolmFxlms *filter, DT32S N, DT32F mu,
                             DT32F *secPath, DT32S secLength, DT32F *secModel,
                             DT32S modelLength);
/* As Init on the caller's coefBuf (N values) and stateBuf (secLength + N +
   max(N, modelLength) values), both zeroed. 0, -2 or -1. */
QUOLM_API DT32S fxlms32fInitStatic(quolmFxlms *filter, DT32S N, DT32F mu,
                                   DT32F *secPath, DT32S secLength,
                                   DT32F *secModel, DT32S modelLength,
                                   DT32F *coefBuf, DT32F *stateBuf);
/* Filters the reference x and passes the output through the secondary path,
   forms err = output + d and adapts; returns the secondary-path output. */
QUOLM_API DT32F fxlms32fFilterUpdate(quolmFxlms *filter, DT32F x, DT32F d);
/* The same filtering without adaptation (power still follows the filtered
   reference); returns the secondary-path output. */
QUOLM_API DT32F fxlms32fFilterOnly(quolmFxlms *filter, DT32F x);

/* Releases an Init-made record's buffers and clears their pointers. */
QUOLM_API void fxlms32fFree(quolmFxlms *filter);
/* Zeroes the coefficients. 0 or -1. */
QUOLM_API DT32S fxlms32fReset(quolmFxlms *filter);
/* Zeroes the three histories (indices and power unchanged). 0 or -1. */
QUOLM_API DT32S fxlms32fResetDelayLine(quolmFxlms *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). The delay
   line is the reference history by age, element 0 the newest sample. */
QUOLM_API DT32S fxlms32fGetCoef(quolmFxlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S fxlms32fSetCoef(quolmFxlms *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S fxlms32fGetDelayLine(quolmFxlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S fxlms32fSetDelayLine(quolmFxlms *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading coefficients, the newest values of each
   history and the power estimate. 0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S fxlms32fResize(quolmFxlms *filter, DT32S N);

QUOLM_END_DECLS

#endif
