/* quolm: LMS lattice joint-process estimator: a gradient adaptive lattice
   turns the input into backward prediction errors, a ladder of coefficients
   combines them into the output (DT32F build). */
#ifndef QUOLMLMSLATTICE32F_H
#define QUOLMLMSLATTICE32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;      /* N ladder coefficients, N-1 lattice stages; 0 after
                        Free and after a failed Init */
  DT32F muParcor;    /* step size of the reflection coefficients */
  DT32F muCoef;      /* step size of the ladder coefficients */
  DT32F err;         /* d - y of the last FilterUpdate */
  DT32S adaptParcor; /* 1 after Init; 0 freezes the reflection coefficients */
  DT32F *parcor;     /* N reflection coefficients (the last one is unused) */
  DT32F *coefs;      /* N ladder coefficients; start of the 2N block */
  DT32F *delayLine;  /* N backward errors of the last input; start of the
                        3N block */
  DT32F *power;      /* N stage power estimates, 1 after Init */
  DT32F *scratch;    /* N work values */
} quolmLmslattice;

/* Sets up zero coefficients and delay line, powers at 1.
   0, -1 (null filter), -2 (N < 1) or -3 (out of memory). */
QUOLM_API DT32S lmslattice32fInit(quolmLmslattice *filter, DT32S N,
                                  DT32F muParcor, DT32F muCoef);
/* As Init on the caller's coefBuf (2N values) and stateBuf (3N values).
   0, -1 (null pointer) or -2. */
QUOLM_API DT32S lmslattice32fInitStatic(quolmLmslattice *filter, DT32S N,
                                        DT32F muParcor, DT32F muCoef,
                                        DT32F *coefBuf, DT32F *stateBuf);

/* Runs x through the lattice (adapting it while adaptParcor is set), forms
   err = d - y and adapts the ladder; returns y from before the update. */
QUOLM_API DT32F lmslattice32fFilterUpdate(quolmLmslattice *filter, DT32F x,
                                          DT32F d);
/* Runs x through the frozen lattice and ladder (powers and delay line still
   advance); returns y. */
QUOLM_API DT32F lmslattice32fFilterOnly(quolmLmslattice *filter, DT32F x);

/* Releases an Init-made record's blocks and clears the record. */
QUOLM_API void lmslattice32fFree(quolmLmslattice *filter);
/* Zeroes the ladder and reflection coefficients. 0 or -1. */
QUOLM_API DT32S lmslattice32fReset(quolmLmslattice *filter);
/* Vector copies of the ladder coefficients, reflection coefficients and
   backward errors: number of values copied, -1 (null) or -2 (range). */
QUOLM_API DT32S lmslattice32fGetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lmslattice32fSetCoef(quolmLmslattice *filter, DT32F *values,
                                     DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S lmslattice32fGetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse);
QUOLM_API DT32S lmslattice32fSetParcor(quolmLmslattice *filter, DT32F *values,
                                       DT32S start, DT32S count,
                                       DT32S reverse);
QUOLM_API DT32S lmslattice32fGetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);
QUOLM_API DT32S lmslattice32fSetDelayLine(quolmLmslattice *filter,
                                          DT32F *values, DT32S start,
                                          DT32S count, DT32S reverse);
/* Changes N, keeping the leading values of each vector; powers restart at 1.
   0, -1, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S lmslattice32fResize(quolmLmslattice *filter, DT32S N);

QUOLM_END_DECLS

#endif
