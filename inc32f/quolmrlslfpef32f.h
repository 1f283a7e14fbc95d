/* quolm: RLS lattice forward prediction error filter of order N, with
   optional direct-form predictor coefficients (DT32F build). */
#ifndef QUOLMRLSLFPEF32F_H
#define QUOLMRLSLFPEF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32F *fwdPower;   /* N forward error powers F; 0.001 at the start */
  DT32F *bwdPower;   /* N backward error powers B; 0.001 at the start */
  DT32F *crossCorr;  /* N forward/delayed-backward correlations */
  DT32F *convFactor; /* N conversion factors of the previous sample; 1.0 */
  DT32F *delayLine;  /* N backward errors of orders 0..N-1 of the previous
                        sample; start of the state block */
  DT32F *fwdParcor;  /* N forward reflection coefficients */
  DT32F *bwdParcor;  /* N backward reflection coefficients */
  DT32F *coefs;      /* N direct-form coefficients from fwdParcor; start of
                        the coefficient block */
  DT32S length;      /* order N; 0 after Free or a failed Init */
  DT32F lambda;      /* forgetting factor */
  DT32F err;         /* forward prediction error of order N, last call */
  DT32S updateCoefs; /* non-zero: every call recomputes coefs; 1 after Init */
} quolmRlslfpef;

/* Sets up N stages at their start values (coefficient block 3N values, state
   block 5N values). 0, -1 (null filter), -2 (N < 1) or -3. */
QUOLM_API DT32S rlslfpef32fInit(quolmRlslfpef *filter, DT32S N, DT32F lambda);
/* As Init on the caller's coefBuf (3N values) and stateBuf (5N values).
   0, -1 (a null pointer, checked first) or -2. */
QUOLM_API DT32S rlslfpef32fInitStatic(quolmRlslfpef *filter, DT32S N,
                                      DT32F lambda, DT32F *coefBuf,
                                      DT32F *stateBuf);

/* Runs x through the adapting lattice; returns the prediction of x(n) from
   the N previous samples, x - err.
   Silence guard: an error power never falls below the smallest normal
   DT32F, and a stage's conversion factor never below DT32F's epsilon (it
   keeps its value instead), so outputs stay finite through silence. */
QUOLM_API DT32F rlslfpef32fFilterUpdate(quolmRlslfpef *filter, DT32F x);
/* The same with the reflection coefficients held. */
QUOLM_API DT32F rlslfpef32fFilterOnly(quolmRlslfpef *filter, DT32F x);

/* Releases an Init-made record's blocks; length becomes 0. */
QUOLM_API void rlslfpef32fFree(quolmRlslfpef *filter);
/* Returns every stage to its start values; keeps updateCoefs. 0 or -1. */
QUOLM_API DT32S rlslfpef32fReset(quolmRlslfpef *filter);
/* Vector copies of N elements: number of values copied, -1 (null) or -2. */
QUOLM_API DT32S rlslfpef32fGetCoef(quolmRlslfpef *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S rlslfpef32fGetForwardParcors(quolmRlslfpef *filter,
                                             DT32F *values, DT32S start,
                                             DT32S count, DT32S reverse);
QUOLM_API DT32S rlslfpef32fGetBackwardParcors(quolmRlslfpef *filter,
                                              DT32F *values, DT32S start,
                                              DT32S count, DT32S reverse);
QUOLM_API DT32S rlslfpef32fGetDelayLine(quolmRlslfpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);
QUOLM_API DT32S rlslfpef32fSetDelayLine(quolmRlslfpef *filter, DT32F *values,
                                        DT32S start, DT32S count,
                                        DT32S reverse);
/* Changes the order of an Init-made record, keeping the leading stages.
   0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S rlslfpef32fResize(quolmRlslfpef *filter, DT32S N);

QUOLM_END_DECLS

#endif
