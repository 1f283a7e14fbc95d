// SPDX-License-Identifier: MIT
#include "erle.h"

#include <math.h>

#include <algorithm>

Erle::Erle(const Signal &echo, const Signal &resid, int rate) {
  const size_t w = size_t(rate) / 10;
  for (size_t s = 0; s + w <= echo.size(); s += w) {
    double e = 0, r = 0;
    for (size_t i = s; i < s + w; ++i) {
      e += double(echo[i]) * echo[i];
      r += double(resid[i]) * resid[i];
    }
    echoE_.push_back(e);
    residE_.push_back(r);
  }
  const double peak = *std::max_element(echoE_.begin(), echoE_.end());
  for (size_t k = 0; k < echoE_.size(); ++k) {
    active_.push_back(echoE_[k] > 1e-3 * peak);
    db_.push_back(active_[k] ? 10 * log10(echoE_[k] / (residE_[k] + 1e-30))
                             : NAN);
  }
}

double Erle::over(double t0, double t1) const {
  double e = 0, r = 0;
  for (size_t k = 0; k < db_.size(); ++k) {
    const double t = k * windowSeconds();
    if (t >= t0 - 1e-9 && t < t1 - 1e-9 && active_[k]) {
      e += echoE_[k];
      r += residE_[k];
    }
  }
  return e > 0 ? 10 * log10(e / (r + 1e-30)) : NAN;
}

double Erle::timeTo(double level, double from) const {
  for (double t = from; t + 0.5 <= db_.size() * windowSeconds(); t += 0.1)
    if (over(t, t + 0.5) >= level) return t + 0.5 - from;
  return NAN;
}

double Erle::onset() const {
  size_t k = 0;
  while (k < active_.size() && !active_[k]) ++k;
  return k * windowSeconds();
}

double nearRemovedDb(const Signal &near, const Signal &out, int rate,
                     double t0, double t1) {
  double no = 0, nn = 0;
  for (size_t i = size_t(t0 * rate); i < size_t(t1 * rate); ++i) {
    no += double(near[i]) * out[i];
    nn += double(near[i]) * near[i];
  }
  return -20 * log10(no / nn);
}
