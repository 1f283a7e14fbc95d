// SPDX-License-Identifier: MIT
// Two-path decision (see twopath.h). The test statistic d|d| is compared with
// a variance term fg * diff so that it is independent of the signal level;
// fg1_, fg2_ are the foreground error energies on the same two averages.
#include "twopath.h"

#include <cmath>

namespace quolmaec {

namespace {
constexpr double kUpdate1 = 0.5, kUpdate2 = 0.25;  // adopt the background
constexpr double kBacktrack = 4.0;                 // give it up
// The background must also remove at least this share of the foreground's
// error energy: while the near end talks, both errors are mostly near-end
// speech and small chance differences would otherwise pass the test, each
// copy carrying over what the background unlearned.
constexpr double kMargin = 0.3;
}  // namespace

Switch TwoPath::decide(double fg, double bg, double diff) {
  const double d = fg - bg, spread = fg * diff;
  avg1_ = 0.6 * avg1_ + 0.4 * d;
  avg2_ = 0.85 * avg2_ + 0.15 * d;
  var1_ = 0.36 * var1_ + 0.16 * spread;
  var2_ = 0.7225 * var2_ + 0.0225 * spread;
  fg1_ = 0.6 * fg1_ + 0.4 * fg;
  fg2_ = 0.85 * fg2_ + 0.15 * fg;
  Switch s = Switch::Keep;
  if ((d * std::fabs(d) > spread && d > kMargin * fg) ||
      (avg1_ * std::fabs(avg1_) > kUpdate1 * var1_ && avg1_ > kMargin * fg1_) ||
      (avg2_ * std::fabs(avg2_) > kUpdate2 * var2_ && avg2_ > kMargin * fg2_))
    s = Switch::UpdateForeground;
  else if (-d * std::fabs(d) > kBacktrack * spread ||
           -avg1_ * std::fabs(avg1_) > kBacktrack * var1_ ||
           -avg2_ * std::fabs(avg2_) > kBacktrack * var2_)
    s = Switch::ResetBackground;
  if (s != Switch::Keep) avg1_ = avg2_ = var1_ = var2_ = 0;
  return s;
}

}  // namespace quolmaec
