/* quolm: block frequency-domain adaptive filter: L coefficients adapted
   block by block in the frequency domain with one FFT size M >= L + B - 1,
   overlap-save filtering and a per-bin power-normalised step (DT32F build). */
#ifndef QUOLMBFDAF32F_H
#define QUOLMBFDAF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;         /* L; 0 after Free or a failed Init */
  DT32S blockLen;       /* B, samples per call */
  DT32S fftSize;        /* M, the smallest power of two >= L + B - 1 (>= 2) */
  DT32S bins;           /* M/2 + 1 */
  DT32S constrain;      /* 1: coefficients kept at L taps */
  DT32S saveLength;     /* M - B, input samples carried between blocks */
  DT32S padLength;      /* M - L */
  DT32F powerGain;      /* weight of the new block's power in the smoothing */
  DT32F mu;             /* step size */
  DT32F invScale;       /* 2/M */
  DT32F *saved;         /* M - B newest input samples, oldest first; start of
                           the state block */
  DT32F *inputSpectrum; /* M values: spectrum of the current window */
  DT32F *coefs;         /* M values: the packed coefficient spectrum */
  DT32F *work;          /* M values: output, then error spectrum */
  DT32F *power;         /* bins values: smoothed input power per bin */
  DT32F *scratch;       /* bins values */
  DT32F *fftTable;      /* the caller's table set, not owned */
  DT32S *fftWork;
} quolmBfdaf;

/* Sets up N zero coefficients for blocks of blockLen samples with the
   caller's FFT tables (built for at least M values, kept by pointer).
   0, -1 (null table), -2 (a size < 1, or tables built for fewer than M
   values), -3 (no memory). */
QUOLM_API DT32S bfdaf32fInit(quolmBfdaf *filter, DT32S N, DT32S blockLen,
                             DT32F mu, DT32S constrain, DT32S *fftWork,
                             DT32F *fftTable);
/* As Init on the caller's coefBuf (M values) and stateBuf
   ((M - B) + 2*M + 2*(M/2 + 1) values). 0, -1, -2 or -3. */
QUOLM_API DT32S bfdaf32fInitStatic(quolmBfdaf *filter, DT32S N,
                                   DT32S blockLen, DT32F mu, DT32S constrain,
                                   DT32F *coefBuf, DT32F *stateBuf,
                                   DT32S *fftWork, DT32F *fftTable);

/* Filters the block x (blockLen samples) into y, forms e = d - y and adapts.
   0, or -1 for a null or freed record or a null block. */
QUOLM_API DT32S bfdaf32fFilterUpdate(quolmBfdaf *filter, DT32F *x, DT32F *d,
                                     DT32F *y, DT32F *e);
/* Filters the block x into y without adapting (input history and power
   estimate advance). 0, or -1 as FilterUpdate. */
QUOLM_API DT32S bfdaf32fFilterOnly(quolmBfdaf *filter, DT32F *x, DT32F *y);

/* Releases an Init-made record's buffers (not the FFT tables). */
QUOLM_API void bfdaf32fFree(quolmBfdaf *filter);
/* Zeroes the coefficients (input history and power stay). 0 or -1. */
QUOLM_API DT32S bfdaf32fReset(quolmBfdaf *filter);
/* Zeroes the input history (saved samples and input spectrum). 0 or -1. */
QUOLM_API DT32S bfdaf32fResetDelayLine(quolmBfdaf *filter);
/* Copies time-domain coefficients (N elements). Number of values copied,
   -1 or -2. */
QUOLM_API DT32S bfdaf32fGetCoef(quolmBfdaf *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S bfdaf32fSetCoef(quolmBfdaf *filter, DT32F *values,
                                DT32S start, DT32S count, DT32S reverse);
/* Changes N and blockLen, keeping coefficients, recent input and (at an
   unchanged FFT size) the power estimate. 0, -1, -2 or -3 (record unchanged
   on failure). */
QUOLM_API DT32S bfdaf32fResize(quolmBfdaf *filter, DT32S N, DT32S blockLen);

QUOLM_END_DECLS

#endif
