// SPDX-License-Identifier: MIT
// Step size of the adapting (background) filter from the estimated residual
// echo, after Valin, "On adjusting the learning rate in frequency domain echo
// cancellation with double-talk" (IEEE TASLP 15(3), 2007): the optimal step is
// the ratio of residual echo power to error power, and the residual echo is
// the echo estimate scaled by a leakage factor found by regressing the error
// power envelope on the echo-estimate power envelope. Here the envelopes are
// broadband powers of sub-blocks of each frame (the paper uses frequency
// bins), so the step is one value shared by every bin.
#ifndef QUOLMAEC_STEPCONTROL_H
#define QUOLMAEC_STEPCONTROL_H

#include "quolmdefs.h"

namespace quolmaec {

// Energies of one frame: far end x, microphone d, the foreground's echo
// estimate y and error e = d - y.
struct FrameEnergy {
  double xx = 0, dd = 0, yy = 0, ee = 0, ey = 0;
};

class StepControl {
 public:
  // Sub-blocks of a frame of frameLen samples at rate Hz; partitions of the
  // filter (the start-up lasts until the summed step exceeds their count).
  void init(DT32S frameLen, DT32S rate, DT32S partitions);
  void reset();
  // Feeds the frame's envelope regression; returns the step for this frame
  // (0 when farActive is false).
  double update(const FrameEnergy &f, const DT32F *e, const DT32F *y,
                bool farActive);
  double leak() const { return leak_; }
  bool adapted() const { return adapted_; }

 private:
  void regress(const FrameEnergy &f, const DT32F *e, const DT32F *y);
  double ceiling(const FrameEnergy &f);

  DT32S frameLen_ = 0, subLen_ = 0, partitions_ = 0;
  double envGain_ = 0, beta0_ = 0, betaMax_ = 0;
  double eMean_ = 0, yMean_ = 0, pey_ = 0, pyy_ = 0, leak_ = 1;
  double dd_ = 0, ee_ = 0;  // smoothed microphone and error energies
  double sumStep_ = 0;
  bool adapted_ = false;
};

}  // namespace quolmaec

#endif
