/* SPDX-License-Identifier: MIT */
/** @file
    quolm: vector and buffer helpers (DT32F build). */
#ifndef QUOLMVECTOR32F_H
#define QUOLMVECTOR32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** Zeroes x[0 .. N-1].
    @param x the array
    @param N number of values; nothing is written for N < 1
    @return 0, or -1 when x is null */
QUOLM_API DT32S reset32f(DT32F *x, DT32S N);

/** Sets x[0 .. N-1] to value.
    @param value the value to write
    @param x the array
    @param N number of values; nothing is written for N < 1
    @return 0, or -1 when x is null */
QUOLM_API DT32S set32f(DT32F value, DT32F *x, DT32S N);

/** Shifts the linear delay line buf up by one and puts x at buf[0], so that
    buf[k] holds the sample k steps back: the way to feed the LC forms.
    @param x the new sample
    @param buf the delay line of N values
    @param N its length; a buffer is never written for N < 1
    @return 0, or -1 when buf is null */
QUOLM_API DT32S insertSampleLinBuf32f(DT32F x, DT32F *buf, DT32S N);

/** Exponent of the smallest power of two >= n: the size is 1 << result
    (e.g. the FFT size of a frequency-domain filter). Untagged and exported
    by both libraries with the same integer-only code, so a program linking
    both gets the same result from either.
    @param n the size asked for, 0 .. 2^30
    @return the exponent, 0 for n = 0 and 1, at most 30; -2 when n < 0 or
      n > 2^30 */
QUOLM_API DT32S nextPow2(DT64S n);

#ifdef QUOLM_BUILD_DT64F
/** Adds x to y in place: y[i] = x[i] + y[i] for i < N. Exported by the
    double build only.
    @param x the N values to add
    @param y the N values added to
    @param N number of values; nothing is written for N < 1
    @return 0, or -1 when x or y is null */
QUOLM_API DT32S addIp64f(const DT64F *x, DT64F *y, DT32S N);
#endif

QUOLM_END_DECLS

#endif
