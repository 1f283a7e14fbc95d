/* quolm: exponentially weighted recursive-least-squares adaptive transversal
   filter with a linear delay line (DT32F build). P, the estimate of the inverse
   input correlation matrix, is kept as its packed lower triangle. */
#ifndef QUOLMRLS32F_H
#define QUOLMRLS32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;     /* N; 0 after Free and after a failed Init */
  DT32F lambda;     /* forgetting factor */
  DT32F invLambda;  /* 1/lambda */
  DT32F err;        /* d - y of the last adapting call */
  DT32F *coefs;     /* N coefficients; coefs[k] weights x(n-k) */
  DT32F *delayLine; /* N samples, linear: element k is x(n-k); start of the
                       state block */
  DT32F *invCorr;   /* P, lower triangle row by row: P(r,j) at r(r+1)/2 + j */
  DT32F *gain;      /* N work values (P*x during an update) */
} quolmRls;

/* Sets up N zero coefficients, a zero delay line and P = delta*I.
   0, -2 (N < 1, delta outside 0..1 or not a number) or -3. */
QUOLM_API DT32S rls32fInit(quolmRls *filter, DT32S N, DT32F lambda,
                           DT32F delta);
/* As Init on the caller's coefBuf (N values) and stateBuf (N(N+1)/2 + 2N
   values). 0, -1 (null buffer) or -2. */
QUOLM_API DT32S rls32fInitStatic(quolmRls *filter, DT32S N, DT32F lambda,
                                 DT32F delta, DT32F *coefBuf,
                                 DT32F *stateBuf);

/* Shifts x into the delay line, filters, forms err = d - y and updates the
   coefficients and P; returns y from before the update. Silence guard: when
   P's largest diagonal element times 1/lambda would pass the square root of
   the largest sample value (2^64 single, 2^512 double), P skips the 1/lambda
   scaling for that sample. */
QUOLM_API DT32F rls32fFilterUpdate(quolmRls *filter, DT32F x, DT32F d);
/* Shifts x in and filters; P still takes in the sample, the coefficients and
   err stay. Returns y. */
QUOLM_API DT32F rls32fFilterOnly(quolmRls *filter, DT32F x);
/* The same two on the input vector the caller left in delayLine. */
QUOLM_API DT32F rls32fLCFilterUpdate(quolmRls *filter, DT32F d);
QUOLM_API DT32F rls32fLCFilterOnly(quolmRls *filter);

/* Releases an Init-made record's blocks and sets length to 0. */
QUOLM_API void rls32fFree(quolmRls *filter);
/* Zeroes the coefficients / the delay line; P is kept. 0 or -1. */
QUOLM_API DT32S rls32fReset(quolmRls *filter);
QUOLM_API DT32S rls32fResetDelayLine(quolmRls *filter);
/* Vector copies: number of values copied, -1 (null) or -2 (range). Delay-line
   element j is the sample of age j. */
QUOLM_API DT32S rls32fGetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S rls32fSetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse);
QUOLM_API DT32S rls32fGetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S rls32fSetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse);
/* Changes N, keeping the leading coefficients and the newest samples and
   restarting P at 0.01*I. 0, -2 or -3 (record unchanged on failure). */
QUOLM_API DT32S rls32fResize(quolmRls *filter, DT32S N);

QUOLM_END_DECLS

#endif
