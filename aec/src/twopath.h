// SPDX-License-Identifier: MIT
// Foreground/background switch (two-path echo cancellation, Ochiai, Araseki
// and Ogihara, "Echo canceler with two echo path models", IEEE Trans. Comm.
// 25(6), 1977): the background filter adapts, the foreground filter produces
// the output and takes the background's coefficients only when the
// background's error is significantly lower; a background that has clearly
// gone wrong (double talk) is set back to the foreground. Significance is
// judged as in SpeexDSP's mdf.c: the error difference against its spread,
// over a short and a longer average.
#ifndef QUOLMAEC_TWOPATH_H
#define QUOLMAEC_TWOPATH_H

namespace quolmaec {

enum class Switch { Keep, UpdateForeground, ResetBackground };

class TwoPath {
 public:
  void reset() { *this = TwoPath(); }
  // fg, bg: error energies of the two filters this frame; diff: energy of
  // the difference of their outputs.
  Switch decide(double fg, double bg, double diff);

 private:
  double avg1_ = 0, avg2_ = 0, var1_ = 0, var2_ = 0, fg1_ = 0, fg2_ = 0;
};

}  // namespace quolmaec

#endif
