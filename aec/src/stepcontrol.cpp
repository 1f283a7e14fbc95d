// SPDX-License-Identifier: MIT
// Residual-echo step control (see stepcontrol.h). The leakage smoothing
// (weight 2B/rate times the echo-estimate-to-error energy ratio, at most
// 0.5B/rate for frames of B samples), the residual-to-error mix
// (0.7 per frame, 0.3 of three times the leakage, bounded by the e-y
// correlation) and the start-up step of 0.25 are those of SpeexDSP's mdf.c,
// the evaluation's peer; the leakage floor is lower (0.001 against 0.005)
// and the step's ceiling falls as the cancellation improves.
#include "stepcontrol.h"

#include <algorithm>
#include <math.h>

namespace quolmaec {

namespace {
constexpr double kMinLeak = 0.001;    // floor of the leakage estimate
constexpr double kStepMax = 0.5;      // largest normalised step
constexpr double kStepConverged = 0.2;  // ... once the echo is well removed
constexpr double kErleLow = 10, kErleHigh = 25;  // dB: from one to the other
constexpr double kErleGain = 0.03;    // smoothing of the ERLE for the ceiling
constexpr double kStartStep = 0.25;   // start-up step with the far end active
constexpr double kEnvSeconds = 1.0;   // averaging time of the power envelopes
constexpr DT32S kSubBlocks = 4;       // envelope points per frame
}  // namespace

void StepControl::init(DT32S frameLen, DT32S rate, DT32S partitions) {
  frameLen_ = frameLen;
  subLen_ = std::max<DT32S>(1, frameLen / kSubBlocks);
  partitions_ = partitions;
  envGain_ = double(subLen_) / (kEnvSeconds * rate);
  beta0_ = 2.0 * frameLen / rate;
  betaMax_ = 0.5 * frameLen / rate;
  reset();
}

void StepControl::reset() {
  // The covariances start empty (not at some level-dependent value), the
  // leakage at 1: nothing is known about the echo path yet.
  eMean_ = yMean_ = pey_ = pyy_ = dd_ = ee_ = 0;
  leak_ = 1;
  sumStep_ = 0;
  adapted_ = false;
}

// Leakage = covariance of the error and echo-estimate power envelopes over
// the variance of the latter, both smoothed at a rate that slows down when
// the error is large against the echo estimate (double talk).
void StepControl::regress(const FrameEnergy &f, const DT32F *e,
                          const DT32F *y) {
  double cov = 0, var = 0;
  for (DT32S s = 0; s + subLen_ <= frameLen_; s += subLen_) {
    double pe = 0, py = 0;
    for (DT32S i = s; i < s + subLen_; ++i) {
      pe += double(e[i]) * e[i];
      py += double(y[i]) * y[i];
    }
    eMean_ += envGain_ * (pe - eMean_);
    yMean_ += envGain_ * (py - yMean_);
    cov += (pe - eMean_) * (py - yMean_);
    var += (py - yMean_) * (py - yMean_);
  }
  const double alpha = std::min(beta0_ * f.yy / (f.ee + 1e-300), betaMax_);
  pey_ += alpha * (cov - pey_);
  pyy_ += alpha * (var - pyy_);
  if (!(pyy_ > 0)) return;  // no echo estimate yet: the leakage stays
  pey_ = std::clamp(pey_, kMinLeak * pyy_, pyy_);
  leak_ = pey_ / pyy_;
}

// The step's ceiling: kStepMax while the foreground removes little of the
// microphone signal, down to kStepConverged once it removes much (the
// leakage estimate alone keeps the step near its ceiling in steady state,
// where a smaller step leaves less misadjustment).
double StepControl::ceiling(const FrameEnergy &f) {
  dd_ += kErleGain * (f.dd - dd_);
  ee_ += kErleGain * (f.ee - ee_);
  const double erleDb = 10 * log10(dd_ / ee_);
  const double w = std::clamp((erleDb - kErleLow) / (kErleHigh - kErleLow), 0.0, 1.0);
  return kStepMax + w * (kStepConverged - kStepMax);
}

double StepControl::update(const FrameEnergy &f, const DT32F *e,
                           const DT32F *y, bool farActive) {
  if (!farActive || !(f.ee > 0)) return 0;
  regress(f, e, y);
  const double cap = ceiling(f);
  if (!adapted_) {
    const double step = kStartStep * std::min(f.xx / f.ee, 1.0);
    sumStep_ += step;
    adapted_ = sumStep_ > partitions_;
    return step;
  }
  // Residual-to-error ratio, bounded by the share of the error that the
  // echo estimate explains (e and y correlated).
  const double residual = std::min(leak_ * f.yy, cap * f.ee);
  double rer = 3.0 * leak_ * f.yy / f.ee;
  if (f.yy > 0) rer = std::min(rer, f.ey * f.ey / (f.ee * f.yy));
  rer = std::min(rer, cap);
  return 0.7 * residual / f.ee + 0.3 * rer;
}

}  // namespace quolmaec
