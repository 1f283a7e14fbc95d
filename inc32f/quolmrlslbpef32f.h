/* quolm: RLS lattice backward prediction error filter of order N, with
   optional direct-form predictor coefficients (DT32F build). */
#ifndef QUOLMRLSLBPEF32F_H
#define QUOLMRLSLBPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32F *fwdPower;     /* N forward error powers F; 0.001 at the start */
  DT32F *bwdPower;     /* N backward error powers B; 0.001 at the start */
  DT32F *crossCorr;    /* N forward/delayed-backward correlations */
  DT32F *convFactor;   /* N conversion factors of the previous sample; 1.0 */
  DT32F *delayLine;    /* N backward errors of orders 0..N-1 of the previous
                          sample; start of the state block */
  DT32F *fwdParcor;    /* N forward reflection coefficients */
  DT32F *bwdParcor;    /* N backward reflection coefficients */
  DT32F *coefs;        /* N direct-form coefficients from bwdParcor; start of
                          the coefficient block */
  DT32F *delayedInput; /* ring of the last N+1 input samples */
  DT32S index;         /* ring slot of the newest sample; N after Init */
  DT32S length;        /* order N; 0 after Free or a failed Init */
  DT32F lambda;        /* forgetting factor */
  DT32F err;           /* backward prediction error of order N, last call */
  DT32S updateCoefs;   /* non-zero: every call recomputes coefs; 1 after Init */
} quolmRlslbpef;

/* Sets up N stages at their start values (coefficient block 3N values, state
   block 6N+1 values). 0, -1 (null filter), -2 (N < 1) or -3. */
QUOLM_API DT32S rlslbpef32fInit(quolmRlslbpef *filter, DT32S N, DT32F lambda);
/* As Init on the caller's coefBuf (3N values) and stateBuf (6N+1 values).
   0, -1 (a null pointer, checked first) or -2. */
QUOLM_API DT32S rlslbpef32fInitStatic(quolmRlslbpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf);

/* Runs x through the adapting lattice; returns the prediction of x(n-N) from
   the N newer samples, x(n-N) - err.
   Silence guard: an error power never falls below the smallest normal
   DT32F, and a stage's conversion factor never below DT32F's epsilon (it
   keeps its value instead), so outputs stay finite through silence. */
QUOLM_API DT32F rlslbpef32fFilterUpdate(quolmRlslbpef *filter, DT32F x);
/* The same with the reflection coefficients held. */
QUOLM_API DT32F rlslbpef32fFilterOnly(quolmRlslbpef *filter, DT32F x);

/* Releases an Init-made record's blocks; length becomes 0. */
QUOLM_API void rlslbpef32fFree(quolmRlslbpef *filter);
/* Returns every stage and the input ring to their start values; keeps index
   and updateCoefs. 0 or -1. */
QUOLM_API DT32S rlslbpef32fReset(quolmRlslbpef *filter);
/* Vector copies of N elements: number of values copied, -1 (null) or -2. */
QUOLM_API DT32S rlslbpef32fGetCoef(quolmRlslbpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S rlslbpef32fGetForwardParcors(quolmRlslbpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse);
QUOLM_API DT32S rlslbpef32fGetBackwardParcors(quolmRlslbpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse);
QUOLM_API DT32S rlslbpef32fGetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);
QUOLM_API DT32S rlslbpef32fSetDelayLine(quolmRlslbpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);
/* Changes the order of an Init-made record, keeping the leading stages and
   restarting index at N. 0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S rlslbpef32fResize(quolmRlslbpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
