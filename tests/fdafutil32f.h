/* SPDX-License-Identifier: MIT */
// Helpers of the frequency-domain tests: an owned FFT table set and a
// reference FIR over a whole signal.
#ifndef QUOLM_FDAFUTIL32F_H
#define QUOLM_FDAFUTIL32F_H

#include "testutil32f.h"

// The table set for transforms of up to n values, in vectors with one slack
// entry each (the tests poison it to catch reads past the set).
struct TableSet {
  std::vector<DT32S> work;
  Vec table;
  explicit TableSet(DT32S n)
      : work(2 + quolmFftWorkLen32f(n > 1 ? n : 2) + 1, -7), table(n / 2 + 1) {
    EXPECT_EQ(quolmFftTables32f(n, work.data(), table.data()), 0);
  }
  DT32S *w() { return work.data(); }
  DT32F *t() { return table.data(); }
};

// y[n] = sum_k h[k] x[n - k] with zero history, in double.
inline std::vector<double> firReference(const Vec &h, const Vec &x) {
  std::vector<double> y(x.size(), 0.0);
  for (size_t n = 0; n < x.size(); ++n)
    for (size_t k = 0; k < h.size() && k <= n; ++k)
      y[n] += double(h[k]) * x[n - k];
  return y;
}

// Power of the error against the desired signal over [from, to), in dB.
inline double errorDb(const Vec &e, const std::vector<double> &d, size_t from,
                      size_t to) {
  double pe = 0, pd = 0;
  for (size_t n = from; n < to; ++n)
    pe += double(e[n]) * e[n], pd += d[n] * d[n];
  return dB(pe, pd);
}

// The identification task of the block filters: a random 256-tap FIR system
// (returned in *h) driven by white noise. Runs `samples` samples in blocks of
// B through update(x, d, y, e) and returns the error power of the last 4096
// samples relative to the desired power in dB (printed when the environment
// sets QUOLM_FIGURES).
template <class Update>
double identify256(const char *name, DT32S B, size_t samples, Vec *h,
                   Update update) {
  Rng rng(21);
  *h = rng.vec(256, 0.1);
  const Vec x = rng.vec(samples);
  const std::vector<double> dd = firReference(*h, x);
  const Vec d(dd.begin(), dd.end());
  Vec y(samples), e(samples);
  for (size_t n = 0; n + size_t(B) <= samples; n += size_t(B))
    update(&x[n], &d[n], &y[n], &e[n]);
  const double reached = errorDb(e, dd, samples - 4096, samples);
  if (getenv("QUOLM_FIGURES")) printf("%s: %.1f dB\n", name, reached);
  return reached;
}

#endif
