/* quolm: vector and buffer helpers (DT32F build). */
#ifndef QUOLMVECTOR32F_H
#define QUOLMVECTOR32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/* Zeroes x[0..N-1]. -1 when x is null, else 0 (nothing written for N < 1). */
QUOLM_API DT32S reset32f(DT32F *x, DT32S N);

/* Sets x[0..N-1] to value. -1 when x is null, else 0. */
QUOLM_API DT32S set32f(DT32F value, DT32F *x, DT32S N);

/* Shifts the linear delay line buf up by one and puts x at buf[0], so that
   buf[k] holds the sample k steps back. -1 when buf is null, else 0. */
QUOLM_API DT32S insertSampleLinBuf32f(DT32F x, DT32F *buf, DT32S N);

/* Exponent of the smallest power of two >= n (0 for n = 0 and 1);
   -2 for n < 0 or n > 2^30. */
QUOLM_API DT32S nextPow2(DT64S n);

#ifdef QUOLM_BUILD_DT64F
/* y[i] = x[i] + y[i] for i < N. -1 when x or y is null, else 0. */
QUOLM_API DT32S addIp64f(const DT64F *x, DT64F *y, DT32S N);
#endif

QUOLM_END_DECLS

#endif
