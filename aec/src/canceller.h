// SPDX-License-Identifier: MIT
// The echo canceller behind quolmaec.h: two PBFDAF records of libquolm32f on
// one FFT table set (foreground: filter only, gives the output; background:
// adapts with the step of StepControl, shared among its partitions by
// shareUpdate), the two-path switch, and the guards (far-end gate, clipped
// microphone, divergence).
#ifndef QUOLMAEC_CANCELLER_H
#define QUOLMAEC_CANCELLER_H

#include "quolm32f.h"
#include "quolmaec.h"
#include "stepcontrol.h"
#include "twopath.h"

namespace quolmaec {

// Sizes derived from the frame and tail: B samples per frame, FFT size M
// (smallest power of two >= 2B - 1), partitions of L = B taps (partition p
// acts on the input of p blocks ago, so they tile the response without
// overlap), P of them covering the tail.
struct Geometry {
  DT32S rate = 0, B = 0, M = 0, L = 0, P = 0;
  // 0, or -2 when out of range or too large for the PBFDAF to size.
  DT32S set(DT32S sampleRate, DT32S frameSize, DT32S tailTaps);
};

}  // namespace quolmaec

struct quolmAec {
  quolmaec::Geometry g;
  quolmPbfdaf fg, bg;
  DT32S *fftWork;
  DT32F *fftTable;
  DT32F *x, *d, *yFg, *eFg, *yBg, *eBg, *heldPower;  // one block
  DT32F *before, *gains;  // shareUpdate's coefficients (P*M) and factors (P)
  quolmaec::StepControl control;
  quolmaec::TwoPath twoPath;
  double farPeak, farDecay, micAvg, outAvg;
  DT32S constrainCount, divergedFrames;
  quolmAecStatus status;
};

namespace quolmaec {

// Allocates and sets up *aec for g; 0 or -3 (nothing left allocated).
DT32S create(quolmAec **aec, const Geometry &g);
void destroy(quolmAec *aec);
void restart(quolmAec *aec);
// The foreground's strongest tap (its taps go through `before`).
DT32S echoDelay(quolmAec *aec);
// One frame; returns the count of non-finite input samples replaced by 0.
DT32S process(quolmAec *aec, const DT32F *far, const DT32F *mic, DT32F *out);

}  // namespace quolmaec

#endif
