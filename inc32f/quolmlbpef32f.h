/* quolm: lattice backward prediction error filter: an order-N gradient
   adaptive lattice predicting the sample N steps back from the N newer ones
   (DT32F build). */
#ifndef QUOLMLBPEF32F_H
#define QUOLMLBPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;        /* N, the prediction order (lattice stages); 0 after
                          Free and after a failed Init */
  DT32F mu;            /* step size of the reflection coefficients */
  DT32F err;           /* N-th order backward prediction error of the last
                          call */
  DT32S updateCoefs;   /* 1 after Init; while set, FilterUpdate recomputes
                          coefs from parcor */
  DT32S index;         /* ring slot of the newest input; N after Init */
  DT32F *parcor;       /* N reflection coefficients */
  DT32F *coefs;        /* N direct-form predictor coefficients; start of the
                          2N block */
  DT32F *delayLine;    /* N+1 backward errors of the last input (the last one
                          stays 0); start of the 4(N+1) block */
  DT32F *power;        /* N+1 stage power estimates, 1 after Init */
  DT32F *scratch;      /* N+1 work values */
  DT32F *delayedInput; /* ring of the last N+1 input samples */
} quolmLbpef;

/* Sets up zero coefficients and state, powers at 1.
   0, -1 (null filter), -2 (N < 1) or -3 (out of memory). */
QUOLM_API DT32S lbpef32fInit(quolmLbpef *filter, DT32S N, DT32F mu);
/* As Init on the caller's coefBuf (2N values) and stateBuf (4(N+1) values).
   0, -1 (null pointer) or -2. */
QUOLM_API DT32S lbpef32fInitStatic(quolmLbpef *filter, DT32S N, DT32F mu,
                                   DT32F *coefBuf, DT32F *stateBuf);

/* Runs x through the adapting lattice, stores err and, while updateCoefs is
   set, the direct-form coefficients; returns the backward prediction of the
   input N steps back (that sample minus err; 0 - err for the first N calls). */
QUOLM_API DT32F lbpef32fFilterUpdate(quolmLbpef *filter, DT32F x);
/* The same with the reflection and direct-form coefficients frozen. */
QUOLM_API DT32F lbpef32fFilterOnly(quolmLbpef *filter, DT32F x);

/* Releases an Init-made record's blocks and clears the record. */
QUOLM_API void lbpef32fFree(quolmLbpef *filter);
/* Zeroes the reflection and direct-form coefficients. 0 or -1. */
QUOLM_API DT32S lbpef32fReset(quolmLbpef *filter);
/* Vector copies of the direct-form coefficients, reflection coefficients and
   the first N backward errors: number copied, -1 (null) or -2 (range). */
QUOLM_API DT32S lbpef32fGetCoef(quolmLbpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S lbpef32fSetCoef(quolmLbpef *filter, DT32F *values, DT32S start,
                                DT32S count, DT32S reverse);
QUOLM_API DT32S lbpef32fGetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lbpef32fSetParcor(quolmLbpef *filter, DT32F *values,
                                  DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lbpef32fGetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lbpef32fSetDelayLine(quolmLbpef *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading values of each vector; powers restart at 1.
   0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S lbpef32fResize(quolmLbpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
