// SPDX-License-Identifier: MIT
// The DT32F unit of the two-build program (the DT64F unit is generated).
#include "quolm32f.h"
#include "twobuilds.h"

namespace {

constexpr DT32S kTaps = 4;
const DT32F kPlant[kTaps] = {DT32F(0.5), DT32F(-0.25), DT32F(0.125), DT32F(0.0625)};

// A deterministic input with energy in every band.
DT32F input(int n) { return DT32F((n * 7919 % 97) / 48.0 - 1.0); }

DT32F plantOutput(int n) {
  double y = 0;
  for (int k = 0; k < kTaps && k <= n; ++k) y += double(kPlant[k]) * input(n - k);
  return DT32F(y);
}

}  // namespace

std::vector<double> identifyWith32f(int filters) {
  std::vector<quolmNlms> nlms(filters);
  std::vector<quolmRls> rls(filters);
  for (int i = 0; i < filters; ++i) {
    if (nlms32fInit(&nlms[i], kTaps, DT32F(0.5)) != 0 ||
        rls32fInit(&rls[i], kTaps, DT32F(0.999), DT32F(1)) != 0)
      return {};
  }
  for (int n = 0; n < 2000; ++n)
    for (int i = 0; i < filters; ++i) {
      nlms32fFilterUpdate(&nlms[i], input(n), plantOutput(n));
      rls32fFilterUpdate(&rls[i], input(n), plantOutput(n));
    }
  std::vector<double> coefs;
  DT32F w[kTaps];
  for (auto &f : nlms) {
    nlms32fGetCoef(&f, w, 0, kTaps, 0);
    coefs.insert(coefs.end(), w, w + kTaps);
    nlms32fFree(&f);
  }
  for (auto &f : rls) {
    rls32fGetCoef(&f, w, 0, kTaps, 0);
    coefs.insert(coefs.end(), w, w + kTaps);
    rls32fFree(&f);
  }
  return coefs;
}
