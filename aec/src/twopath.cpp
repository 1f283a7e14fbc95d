// SPDX-License-Identifier: MIT
// Two-path decision (see twopath.h). The test statistic d|d| is compared with
// a variance term fg * diff so that it is independent of the signal level.
#include "twopath.h"

#include <cmath>

namespace quolmaec {

namespace {
constexpr double kUpdate1 = 0.5, kUpdate2 = 0.25;  // adopt the background
constexpr double kBacktrack = 4.0;                 // give it up
}  // namespace

Switch TwoPath::decide(double fg, double bg, double diff) {
  const double d = fg - bg, spread = fg * diff;
  avg1_ = 0.6 * avg1_ + 0.4 * d;
  avg2_ = 0.85 * avg2_ + 0.15 * d;
  var1_ = 0.36 * var1_ + 0.16 * spread;
  var2_ = 0.7225 * var2_ + 0.0225 * spread;
  Switch s = Switch::Keep;
  if (d * std::fabs(d) > spread || avg1_ * std::fabs(avg1_) > kUpdate1 * var1_ ||
      avg2_ * std::fabs(avg2_) > kUpdate2 * var2_)
    s = Switch::UpdateForeground;
  else if (-d * std::fabs(d) > kBacktrack * spread ||
           -avg1_ * std::fabs(avg1_) > kBacktrack * var1_ ||
           -avg2_ * std::fabs(avg2_) > kBacktrack * var2_)
    s = Switch::ResetBackground;
  if (s != Switch::Keep) avg1_ = avg2_ = var1_ = var2_ = 0;
  return s;
}

}  // namespace quolmaec
