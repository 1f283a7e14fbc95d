/* quolm: partitioned-block frequency-domain adaptive filter: P partitions of
   L coefficients share one FFT size M >= L + B - 1; partition p acts on the
   input spectrum of p blocks ago (DT32F build). */
#ifndef QUOLMPBFDAF32F_H
#define QUOLMPBFDAF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

typedef struct {
  DT32S length;       /* L, coefficients per partition; 0 after Free or a
                         failed Init */
  DT32S blockLen;     /* B, samples per call */
  DT32S partitions;   /* P */
  DT32S fftSize;      /* M, the smallest power of two >= L + B - 1 (>= 2) */
  DT32S specLength;   /* P * M */
  DT32S bins;         /* M/2 + 1 */
  DT32S constrain;    /* 1: coefficients kept at L taps per partition */
  DT32S saveLength;   /* M - B, input samples carried between blocks */
  DT32S padLength;    /* M - L */
  DT32F powerGain;    /* weight of the new block's power in the smoothing */
  DT32S index;        /* ring position (in value pairs) of the next block's
                         input spectrum; a multiple of M/2 */
  DT32F mu;           /* step size */
  DT32F invScale;     /* 2/M */
  DT32F *saved;       /* M - B newest input samples, oldest first; start of
                         the state block */
  DT32F *inputSpectra; /* P slots of M values: the last P input spectra */
  DT32F *coefs;       /* P slots of M values: coefficient spectra */
  DT32F *work;        /* M values: output, then error spectrum */
  DT32F *power;       /* bins values: smoothed input power per bin */
  DT32F *scratch;     /* M values */
  DT32F *fftTable;    /* the caller's table set, not owned */
  DT32S *fftWork;
} quolmPbfdaf;

/* Sets up P zero partitions of N coefficients for blocks of blockLen samples
   with the caller's FFT tables (built for at least M values, kept by pointer).
   0, -1 (null table), -2 (a size < 1, or tables built for fewer than M
   values), -3 (no memory). */
QUOLM_API DT32S pbfdaf32fInit(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                              DT32S partitions, DT32F mu, DT32S constrain,
                              DT32S *fftWork, DT32F *fftTable);
/* As Init on the caller's coefBuf (P*M values) and stateBuf
   ((M - B) + (P + 2)*M + M/2 + 1 values). 0, -1, -2 or -3. */
QUOLM_API DT32S pbfdaf32fInitStatic(quolmPbfdaf *filter, DT32S N,
                                    DT32S blockLen, DT32S partitions,
                                    DT32F mu, DT32S constrain,
                                    DT32F *coefBuf, DT32F *stateBuf,
                                    DT32S *fftWork, DT32F *fftTable);

/* Filters the block x (blockLen samples) into y, forms e = d - y and adapts
   every partition. 0, or -1 for a null or freed record or a null block. */
QUOLM_API DT32S pbfdaf32fFilterUpdate(quolmPbfdaf *filter, DT32F *x,
                                      DT32F *d, DT32F *y, DT32F *e);
/* Filters the block x into y without adapting (input history and power
   estimate advance). 0, or -1 as FilterUpdate. */
QUOLM_API DT32S pbfdaf32fFilterOnly(quolmPbfdaf *filter, DT32F *x, DT32F *y);

/* Releases an Init-made record's buffers (not the FFT tables). */
QUOLM_API void pbfdaf32fFree(quolmPbfdaf *filter);
/* Zeroes the coefficients (input history and power stay). 0 or -1. */
QUOLM_API DT32S pbfdaf32fReset(quolmPbfdaf *filter);
/* Zeroes the input history (saved samples and input spectra). 0 or -1. */
QUOLM_API DT32S pbfdaf32fResetDelayLine(quolmPbfdaf *filter);
/* Copies time-domain coefficients of the P*N-element vector (partition 0
   first). Both constrain every partition to N taps as a side effect. Number
   of values copied, -1 or -2. */
QUOLM_API DT32S pbfdaf32fGetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);
QUOLM_API DT32S pbfdaf32fSetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);
/* Changes the sizes, keeping coefficients, recent input and (at an unchanged
   FFT size) the input spectra and power estimate. 0, -1, -2 or -3 (record
   unchanged on failure). */
QUOLM_API DT32S pbfdaf32fResize(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                                DT32S partitions);

QUOLM_END_DECLS

#endif
