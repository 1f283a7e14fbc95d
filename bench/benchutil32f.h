/* SPDX-License-Identifier: MIT */
// Shared benchmark helpers (the double-build program is generated from the
// same text).
#ifndef QUOLM_BENCHUTIL32F_H
#define QUOLM_BENCHUTIL32F_H

#include <benchmark/benchmark.h>
#include <stdint.h>

#include <vector>

#include "quolm32f.h"

// Reports the time per sample (and per tap when taps > 0) for `samples`
// samples processed in each iteration, e.g. "per_sample=1.2us".
inline void perSample(benchmark::State &state, int64_t samples,
                      int64_t taps = 0) {
  const auto invRate = benchmark::Counter::kIsRate | benchmark::Counter::kInvert;
  const double n = double(samples) * double(state.iterations());
  state.counters["per_sample"] = benchmark::Counter(n, invRate);
  if (taps > 0)
    state.counters["per_tap"] = benchmark::Counter(n * double(taps), invRate);
}

// A fixed pseudo-random signal in [-0.5, 0.5).
inline std::vector<DT32F> benchSignal(size_t n, uint32_t seed = 1) {
  std::vector<DT32F> v(n);
  for (DT32F &x : v) {
    seed = seed * 1664525u + 1013904223u;
    x = DT32F(double(seed >> 8) / 16777216.0 - 0.5);
  }
  return v;
}

#endif
