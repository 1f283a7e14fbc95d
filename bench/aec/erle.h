// SPDX-License-Identifier: MIT
// ERLE from the exact echo component: in windows of 0.1 s, echo power over
// residual-echo power, counting only windows where the echo is within 30 dB
// of its loudest window (the far end talks).
#ifndef QUOLMAEC_EVAL_ERLE_H
#define QUOLMAEC_EVAL_ERLE_H

#include <vector>

#include "scenario.h"

class Erle {
 public:
  // resid = output - (mic - echo): what is left of the echo.
  Erle(const Signal &echo, const Signal &resid, int rate);
  // Per window: start time and ERLE in dB (NaN where the far end is silent).
  const std::vector<double> &db() const { return db_; }
  double windowSeconds() const { return 0.1; }
  // ERLE over the active windows of [t0, t1) seconds (NaN if none); with
  // `also`, only over the windows where also[k] holds too.
  double over(double t0, double t1,
              const std::vector<bool> *also = nullptr) const;
  // Seconds from `from` until the end of the first 0.5 s span whose ERLE
  // reaches `level` (NaN if none does).
  double timeTo(double level, double from) const;
  // Start of the first window where the far end is active (s).
  double onset() const;

 private:
  std::vector<double> echoE_, residE_, db_;
  std::vector<bool> active_;
};

// Windows (0.1 s) where the signal is within 30 dB of its loudest one.
std::vector<bool> activeWindows(const Signal &s, int rate);

// Least-squares gain of the near-end talker in the output over [t0, t1),
// as dB removed (0 when passed through intact).
double nearRemovedDb(const Signal &near, const Signal &out, int rate,
                     double t0, double t1);

#endif
