// SPDX-License-Identifier: MIT
#include "erle.h"

#include <math.h>

#include <algorithm>

namespace {

std::vector<double> windowEnergies(const Signal &s, int rate) {
  const size_t w = size_t(rate) / 10;
  std::vector<double> e;
  for (size_t b = 0; b + w <= s.size(); b += w) {
    double sum = 0;
    for (size_t i = b; i < b + w; ++i) sum += double(s[i]) * s[i];
    e.push_back(sum);
  }
  return e;
}

}  // namespace

std::vector<bool> activeWindows(const Signal &s, int rate) {
  const std::vector<double> e = windowEnergies(s, rate);
  const double peak = *std::max_element(e.begin(), e.end());
  std::vector<bool> a;
  for (double v : e) a.push_back(v > 1e-3 * peak);
  return a;
}

Erle::Erle(const Signal &echo, const Signal &resid, int rate)
    : echoE_(windowEnergies(echo, rate)),
      residE_(windowEnergies(resid, rate)),
      active_(activeWindows(echo, rate)) {
  for (size_t k = 0; k < echoE_.size(); ++k)
    db_.push_back(active_[k] ? 10 * log10(echoE_[k] / (residE_[k] + 1e-30))
                             : NAN);
}

double Erle::over(double t0, double t1, const std::vector<bool> *also) const {
  double e = 0, r = 0;
  for (size_t k = 0; k < db_.size(); ++k) {
    const double t = k * windowSeconds();
    if (t >= t0 - 1e-9 && t < t1 - 1e-9 && active_[k] &&
        (!also || (*also)[k])) {
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
