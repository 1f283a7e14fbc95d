// SPDX-License-Identifier: MIT
/* quolm echo canceller: removes the linear echo of a far-end signal from a
   microphone signal, frame by frame, in single precision. Built on the
   partitioned-block frequency-domain adaptive filter of libquolm32f with a
   foreground/background pair of filters and a step size that follows the
   estimated residual echo (see aec/README.md).

   All memory is allocated by Create; Process never allocates. Return codes:
   0 success, -1 null pointer, -2 size or parameter out of range, -3 out of
   memory. Samples may be at any scale (16-bit or unit scale alike). */
#ifndef QUOLMAEC_H
#define QUOLMAEC_H

#include "quolmdefs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct quolmAec quolmAec; /* opaque; one per call direction */

/* Figures for monitoring, valid after each Process. */
typedef struct {
  DT32F erle;       /* echo return loss enhancement in dB: smoothed microphone
                       power over output power while the far end is active;
                       0 before the far end was heard */
  DT32F leak;       /* estimated residual echo as a fraction of the echo
                       estimate (1 at start, about 0.001 once converged) */
  DT32F step;       /* normalised step of the adapting filter this frame
                       (0 .. 0.5; 0 while the far end is silent) */
  DT32S doubleTalk; /* 1 while the output holds far more power than the
                       estimated residual echo (near-end speech or noise) */
  DT32S adapted;    /* 1 once the start-up phase is over */
  DT64S frames;     /* frames processed since Create or Reset */
} quolmAecStatus;

/* What Create accepts: sample rates in Hz, frame sizes and tails in
   samples (the tail at any frame size). */
#define QUOLM_AEC_MIN_RATE 1000
#define QUOLM_AEC_MAX_RATE 384000
#define QUOLM_AEC_MAX_FRAME 16384
#define QUOLM_AEC_MAX_TAIL (1 << 20)

/* Creates a canceller for frames of frameSize samples at sampleRate Hz with
   an echo tail of tailTaps samples (rounded up to whole partitions).
   0; -1 (aec null); -2 (sampleRate outside QUOLM_AEC_MIN_RATE ..
   QUOLM_AEC_MAX_RATE, frameSize outside 1 .. QUOLM_AEC_MAX_FRAME, tailTaps
   outside 1 .. QUOLM_AEC_MAX_TAIL); -3 (no memory). *aec is null after a
   failure. */
QUOLM_API DT32S quolmAecCreate(quolmAec **aec, DT32S sampleRate,
                               DT32S frameSize, DT32S tailTaps);

/* Tail in taps for a length in milliseconds at sampleRate (rounded to the
   nearest tap, at least 1); -2 when out of range. */
QUOLM_API DT32S quolmAecTailTaps(DT32S sampleRate, DT32F tailMs);

/* Cancels one frame: out = mic - estimated echo of far (frameSize samples
   each; out may alias mic or far). Non-finite input samples are taken as
   0; input so large that the filters overflow resets the canceller (as
   Reset) and that frame's output is the microphone frame. Returns 0,
   n >= 1 when n non-finite input samples were replaced, or -1. */
QUOLM_API DT32S quolmAecProcess(quolmAec *aec, const DT32F *far,
                                const DT32F *mic, DT32F *out);

/* Forgets the echo path and the signal history (as after Create). 0 or -1. */
QUOLM_API DT32S quolmAecReset(quolmAec *aec);

/* Copies the monitoring figures. 0 or -1. */
QUOLM_API DT32S quolmAecGetStatus(const quolmAec *aec, quolmAecStatus *status);

/* Bulk delay of the echo path: the tap of the learned response with the
   largest magnitude (the direct path), in samples; 0 before anything was
   learned; -1 when aec is null. Costs two transforms per partition: call it
   for monitoring, not every frame. */
QUOLM_API DT32S quolmAecEchoDelay(quolmAec *aec);

/* Frame size, and tail in taps as rounded by Create; -1 when aec is null. */
QUOLM_API DT32S quolmAecFrameSize(const quolmAec *aec);
QUOLM_API DT32S quolmAecTailLength(const quolmAec *aec);

/* Releases everything Create allocated; a null aec is ignored. */
QUOLM_API void quolmAecDestroy(quolmAec *aec);

#ifdef __cplusplus
}
#endif

#endif
