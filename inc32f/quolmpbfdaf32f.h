/* SPDX-License-Identifier: MIT */
/** @file
    quolm: partitioned-block frequency-domain adaptive filter: P partitions of
   L coefficients share one FFT size M >= L + B - 1; partition p acts on the
   input spectrum of p blocks ago (DT32F build). */
#ifndef QUOLMPBFDAF32F_H
#define QUOLMPBFDAF32F_H

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/** A partitioned-block frequency-domain adaptive filter: P partitions of L
    coefficients share one FFT size M; partition p acts on the input of p
    blocks ago. */
typedef struct {
  DT32S length;       /**< L, coefficients per partition; 0 after Free or a
                         failed Init */
  DT32S blockLen;     /**< B, samples per call */
  DT32S partitions;   /**< P */
  DT32S fftSize;      /**< M, the smallest power of two >= L + B - 1 (>= 2) */
  DT32S specLength;   /**< P * M */
  DT32S bins;         /**< M/2 + 1 */
  DT32S constrain;    /**< 1: coefficients kept at L taps per partition */
  DT32S saveLength;   /**< M - B, input samples carried between blocks */
  DT32S padLength;    /**< M - L */
  DT32F powerGain;    /**< weight of the new block's power in the smoothing */
  DT32S index;        /**< ring position (in value pairs) of the next block's
                         input spectrum; a multiple of M/2 */
  DT32F mu;           /**< step size */
  DT32F invScale;     /**< 2/M */
  DT32F *saved;       /**< M - B newest input samples, oldest first; start of
                         the state block */
  DT32F *inputSpectra; /**< P slots of M values: the last P input spectra */
  DT32F *coefs;       /**< P slots of M values: coefficient spectra */
  DT32F *work;        /**< M values: output, then error spectrum */
  DT32F *power;       /**< bins values: smoothed input power per bin */
  DT32F *scratch;     /**< M values */
  DT32F *fftTable;    /**< the caller's table set, not owned */
  DT32S *fftWork; /**< the caller's FFT counts and work area, not owned */
} quolmPbfdaf;

/** Sets up P zero partitions of L coefficients for blocks of B samples on the
    caller's FFT tables; the per-bin powers start at 1.0. Allocates.
    @param filter the record to set up (caller memory)
    @param N L, coefficients per partition, >= 1
    @param blockLen B, samples per call, >= 1; M = smallest power of two >= L +
      B - 1 (at least 2); with L = B the P*L coefficients form one FIR filter
    @param partitions P, number of partitions, >= 1; the filter spans P blocks
    @param mu step size of the per-bin normalised block gradient (each bin
      divided by its smoothed input power). Converges for 0 < mu < about
      2/(P*B) whatever the input level once the power estimate has settled; the
      estimate starts at 1.0, so with input far louder than unit power start
      with a smaller mu
    @param constrain 1: after each update every partition is cut back to L taps
      (two transforms per partition); 0: unconstrained and cheaper
    @param fftWork the counts and work area of the caller's FFT table set
      (quolmFftTables32f), built for at least M points; kept by pointer and
      written by every transform, so filters sharing a set must not run at the
      same time
    @param fftTable the twiddle and cosine table of the same set; kept by
      pointer, never released by the library
    @return 0 on success; -1 when fftWork or fftTable is null; -2 when N,
      blockLen or partitions is below 1 or the tables were built for fewer than
      M points; -3 when an allocation fails or the sizes cannot be represented
      (nothing stays allocated). Every failure sets length to 0. */
QUOLM_API DT32S pbfdaf32fInit(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                              DT32S partitions, DT32F mu, DT32S constrain,
                              DT32S *fftWork, DT32F *fftTable);

/** Sets up the record in the caller's buffers; allocates nothing.
    @param filter the record to set up (caller memory)
    @param N L, coefficients per partition, >= 1
    @param blockLen B, samples per call, >= 1; M = smallest power of two >= L +
      B - 1 (at least 2); with L = B the P*L coefficients form one FIR filter
    @param partitions P, number of partitions, >= 1; the filter spans P blocks
    @param mu step size of the per-bin normalised block gradient (each bin
      divided by its smoothed input power). Converges for 0 < mu < about
      2/(P*B) whatever the input level once the power estimate has settled; the
      estimate starts at 1.0, so with input far louder than unit power start
      with a smaller mu
    @param constrain 1: after each update every partition is cut back to L taps
      (two transforms per partition); 0: unconstrained and cheaper
    @param coefBuf caller buffer of P*M values; zeroed here
    @param stateBuf caller buffer of (M - B) + (P + 2)M + M/2 + 1 values;
      zeroed here
    @param fftWork the counts and work area of the caller's FFT table set
      (quolmFftTables32f), built for at least M points; kept by pointer and
      written by every transform, so filters sharing a set must not run at the
      same time
    @param fftTable the twiddle and cosine table of the same set; kept by
      pointer, never released by the library
    @return 0 on success; -1 when a table or buffer pointer is null; -2 as for
      Init; -3 when the sizes cannot be represented (M above 2^30). Every
      failure sets length to 0. */
QUOLM_API DT32S pbfdaf32fInitStatic(quolmPbfdaf *filter, DT32S N,
                                    DT32S blockLen, DT32S partitions,
                                    DT32F mu, DT32S constrain,
                                    DT32F *coefBuf, DT32F *stateBuf,
                                    DT32S *fftWork, DT32F *fftTable);

/** Filters the block x into y, forms e = d - y and adapts every partition with
    the per-bin normalised gradient of the newest block.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param d blockLen desired samples
    @param y blockLen outputs (written)
    @param e blockLen errors d - y (written)
    @return 0; -1 for a null or freed record or a null block */
QUOLM_API DT32S pbfdaf32fFilterUpdate(quolmPbfdaf *filter, DT32F *x,
                                      DT32F *d, DT32F *y, DT32F *e);

/** Filters the block x into y without adapting; the input history and the
    power estimate advance.
    @param filter a record set up by Init or InitStatic
    @param x blockLen input samples
    @param y blockLen outputs (written)
    @return 0; -1 for a null or freed record or a null block */
QUOLM_API DT32S pbfdaf32fFilterOnly(quolmPbfdaf *filter, DT32F *x, DT32F *y);

/** Releases the buffers that Init or Resize allocated (never the FFT tables)
    and sets length to 0. Only for records made by Init.
    @param filter a record made by Init */
QUOLM_API void pbfdaf32fFree(quolmPbfdaf *filter);

/** Zeroes the coefficients; the input history and the power estimate stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when the coefficient pointer is null */
QUOLM_API DT32S pbfdaf32fReset(quolmPbfdaf *filter);

/** Zeroes the input history (the saved samples and the P input spectra);
    index, coefficients and power stay.
    @param filter a record set up by Init or InitStatic
    @return 0, or -1 when a history pointer is null */
QUOLM_API DT32S pbfdaf32fResetDelayLine(quolmPbfdaf *filter);

/** Copies elements of the time-domain coefficients of all partitions,
    partition 0 first (element p*L + i is tap i of partition p) into values. L
    = P*L. Both copies cut every partition back to L taps, whatever constrain
    says, at two transforms per partition.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S pbfdaf32fGetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);

/** Copies elements of the time-domain coefficients of all partitions,
    partition 0 first (element p*L + i is tap i of partition p) from values. L
    = P*L. Both copies cut every partition back to L taps, whatever constrain
    says.
    @param filter a record set up by Init or InitStatic
    @param values caller array of at least min(count, L - start) values: the
      destination of a Get, the source of a Set
    @param start first element of the vector to copy, 0 .. L-1
    @param count number of elements asked for, >= 1; the copy stops at the end
      of the vector
    @param reverse 0: values[i] pairs with element start + i; nonzero: values
      is in reverse order (values[n-1-i] pairs with element start + i, n the
      number copied)
    @return the number of elements copied, n = min(count, L - start) >= 1; -1
      when values or the record's vector is null; -2 when count < 1 or start is
      outside 0 .. L-1 */
QUOLM_API DT32S pbfdaf32fSetCoef(quolmPbfdaf *filter, DT32F *values,
                                 DT32S start, DT32S count, DT32S reverse);

/** Changes L, B and P on the same tables, keeping the coefficients, the recent
    input and, at an unchanged M, the input spectra and the power estimate.
    Allocates; only for records made by Init.
    @param filter a record made by Init
    @param N L, coefficients per partition, >= 1
    @param blockLen B, samples per call, >= 1; M = smallest power of two >= L +
      B - 1 (at least 2); with L = B the P*L coefficients form one FIR filter
    @param partitions P, number of partitions, >= 1; the filter spans P blocks
    @return 0 (also when nothing changes); otherwise the code Init gives for
      the new sizes on the record's tables (-1, -2 or -3), and the record is
      unchanged. */
QUOLM_API DT32S pbfdaf32fResize(quolmPbfdaf *filter, DT32S N, DT32S blockLen,
                                DT32S partitions);

QUOLM_END_DECLS

#endif
