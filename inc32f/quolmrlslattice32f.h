/* quolm: RLS lattice joint-process estimator: N least-squares lattice stages
   and a ladder that forms the estimate from the backward errors (DT32F
   build). */
#ifndef QUOLMRLSLATTICE32F_H
#define QUOLMRLSLATTICE32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32F *fwdPower;   /* N forward error powers F; 0.001 at the start */
  DT32F *bwdPower;   /* N backward error powers B; 0.001 at the start */
  DT32F *crossCorr;  /* N forward/delayed-backward correlations */
  DT32F *jointCorr;  /* N estimation-error/backward-error correlations */
  DT32F *convFactor; /* N conversion factors of the previous sample; 1.0 */
  DT32F *delayLine;  /* N backward errors of orders 0..N-1 of the previous
                        sample; start of the state block */
  DT32F *fwdParcor;  /* N forward reflection coefficients */
  DT32F *bwdParcor;  /* N backward reflection coefficients */
  DT32F *coefs;      /* N ladder coefficients; start of the coefficient block */
  DT32S length;      /* N stages; 0 after Free or a failed Init */
  DT32F lambda;      /* forgetting factor */
  DT32F err;         /* a posteriori estimation error of the last update */
} quolmRlslattice;

/* Sets up N stages at their start values (coefficient block 3N values, state
   block 6N values). 0, -1 (null filter), -2 (N < 1) or -3. */
QUOLM_API DT32S rlslattice32fInit(quolmRlslattice *filter, DT32S N,
                                  DT32F lambda);
/* As Init on the caller's coefBuf (3N values) and stateBuf (6N values).
   0, -1 (a null pointer, checked first) or -2. */
QUOLM_API DT32S rlslattice32fInitStatic(quolmRlslattice *filter, DT32S N,
                                        DT32F lambda, DT32F *coefBuf,
                                        DT32F *stateBuf);

/* Runs x through the lattice, adapts every stage toward d; returns the
   estimate y = d - err.
   Silence guard: an error power never falls below the smallest normal
   DT32F, and a stage's conversion factor never below DT32F's epsilon (it
   keeps its value instead), so outputs stay finite through silence. */
QUOLM_API DT32F rlslattice32fFilterUpdate(quolmRlslattice *filter, DT32F x,
                                          DT32F d);
/* Estimate from the stored coefficients; moves the backward powers, the
   conversion factors and the delay line only. */
QUOLM_API DT32F rlslattice32fFilterOnly(quolmRlslattice *filter, DT32F x);

/* Releases an Init-made record's blocks; length becomes 0. */
QUOLM_API void rlslattice32fFree(quolmRlslattice *filter);
/* Returns every stage to its start values, delay line included. 0 or -1. */
QUOLM_API DT32S rlslattice32fReset(quolmRlslattice *filter);
/* Vector copies of N elements: number of values copied, -1 (null) or -2. */
QUOLM_API DT32S rlslattice32fGetCoef(quolmRlslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S rlslattice32fGetForwardParcors(quolmRlslattice *filter,
                                               DT32F *values, DT32S start,
                                               DT32S count, DT32S reverse);
QUOLM_API DT32S rlslattice32fGetBackwardParcors(quolmRlslattice *filter,
                                                DT32F *values, DT32S start,
                                                DT32S count, DT32S reverse);
QUOLM_API DT32S rlslattice32fGetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);
QUOLM_API DT32S rlslattice32fSetDelayLine(quolmRlslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);
/* Changes the number of stages of an Init-made record, keeping the leading
   stages. 0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S rlslattice32fResize(quolmRlslattice *filter, DT32S N);

QUOLM_END_DECLS

#endif
