/* quolm: lattice forward prediction error filter: an order-N gradient
   adaptive lattice predicting each sample from the N before it
   (DT32F build). */
#ifndef QUOLMLFPEF32F_H
#define QUOLMLFPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;        /* N, the prediction order (lattice stages); 0 after
                          Free and after a failed Init */
  DT32F mu;            /* step size of the reflection coefficients */
  DT32F err;           /* N-th order forward prediction error of the last
                          call */
  DT32S updateCoefs;   /* 1 after Init; while set, FilterUpdate recomputes
                          coefs from parcor */
  DT32F *parcor;       /* N reflection coefficients */
  DT32F *coefs;        /* N direct-form predictor coefficients; start of the
                          2N block */
  DT32F *delayLine;    /* N+1 backward errors of the last input (the last one
                          stays 0); start of the 3(N+1) block */
  DT32F *power;        /* N+1 stage power estimates, 1 after Init */
  DT32F *scratch;      /* N+1 work values */
} quolmLfpef;

/* Sets up zero coefficients and state, powers at 1.
   0, -1 (null filter), -2 (N < 1) or -3 (out of memory). */
QUOLM_API DT32S lfpef32fInit(quolmLfpef *filter, DT32S N, DT32F mu);
/* As Init on the caller's coefBuf (2N values) and stateBuf (3(N+1) values).
   0, -1 (null pointer) or -2. */
QUOLM_API DT32S lfpef32fInitStatic(quolmLfpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf);

/* Runs x through the adapting lattice, stores err and, while updateCoefs is
   set, the direct-form coefficients; returns the forward prediction x - err. */
QUOLM_API DT32F lfpef32fFilterUpdate(quolmLfpef *filter, DT32F x);
/* The same with the reflection and direct-form coefficients frozen. */
QUOLM_API DT32F lfpef32fFilterOnly(quolmLfpef *filter, DT32F x);

/* Releases an Init-made record's blocks and clears the record. */
QUOLM_API void lfpef32fFree(quolmLfpef *filter);
/* Zeroes the reflection and direct-form coefficients. 0 or -1. */
QUOLM_API DT32S lfpef32fReset(quolmLfpef *filter);
/* Vector copies of the direct-form coefficients, reflection coefficients and
   the first N backward errors: number copied, -1 (null) or -2 (range). */
QUOLM_API DT32S lfpef32fGetCoef(quolmLfpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S lfpef32fSetCoef(quolmLfpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S lfpef32fGetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lfpef32fSetParcor(quolmLfpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lfpef32fGetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lfpef32fSetDelayLine(quolmLfpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading values of each vector; powers restart at 1.
   0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S lfpef32fResize(quolmLfpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
