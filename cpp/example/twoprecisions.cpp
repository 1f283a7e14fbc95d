// SPDX-License-Identifier: MIT
// Identifies one unknown 8-tap system twice in one program: with a float
// NLMS filter, sample by sample, and with a double PBFDAF over whole signals.
#include <quolm/quolm.hpp>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

int main() try {
  const std::vector<double> plant = {0.1, 0.3, -0.4, 0.2, -0.1, 0.05, 0.6, 0.2};
  std::mt19937 gen(1);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  std::vector<double> x(16384), d(x.size());
  for (size_t n = 0; n < x.size(); ++n) {  // white noise through the system
    x[n] = noise(gen);
    for (size_t k = 0; k < plant.size() && k <= n; ++k) d[n] += plant[k] * x[n - k];
  }

  quolm::Nlms<float> nlms(8, 0.1f);  // 8 taps, step 0.1
  for (size_t n = 0; n < x.size(); ++n) nlms.filterUpdate(float(x[n]), float(d[n]));

  quolm::Pbfdaf<double> pbfdaf(4, 4, 2, 0.1);  // 2 partitions of 4 taps, blocks of 4
  std::vector<double> y(x.size()), e(x.size());
  pbfdaf.filterUpdate(x, d, y, e);  // owns its FFT tables

  std::vector<float> w32(8);
  std::vector<double> w64(8);
  nlms.getCoefs(w32);
  pbfdaf.getCoefs(w64);
  double worst = 0;
  std::printf("system     NLMS<float>  PBFDAF<double>\n");
  for (size_t k = 0; k < plant.size(); ++k) {
    std::printf("%7.4f %12.4f %15.4f\n", plant[k], w32[k], w64[k]);
    worst = std::fmax(worst, std::fmax(std::fabs(w32[k] - plant[k]), std::fabs(w64[k] - plant[k])));
  }
  std::printf("largest coefficient error %.2e\n", worst);
  return worst < 1e-3 ? 0 : 1;
} catch (const quolm::Error &e) {
  std::fprintf(stderr, "%s\n", e.what());
  return 2;
}
