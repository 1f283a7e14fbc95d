// SPDX-License-Identifier: MIT
// RLS transversal filter per sample, against a yardstick of two vectorised
// multiply-add passes over the N(N+1)/2 stored values of P: the least any
// update that reads and rewrites the triangle twice can cost.
#include "benchutil32f.h"

namespace {

constexpr int64_t kSamples = 256;

void BM_RlsFilterUpdate(benchmark::State &state) {
  const DT32S n = DT32S(state.range(0));
  const std::vector<DT32F> x = benchSignal(kSamples, 1);
  const std::vector<DT32F> d = benchSignal(kSamples, 2);
  quolmRls f;
  if (rls32fInit(&f, n, DT32F(0.999), DT32F(1)) != 0) {
    state.SkipWithError("init failed");
    return;
  }
  for (auto _ : state)
    for (int64_t t = 0; t < kSamples; ++t)
      benchmark::DoNotOptimize(rls32fFilterUpdate(&f, x[t], d[t]));
  perSample(state, kSamples, n);
  rls32fFree(&f);
}

// a += e*b, then b -= e*a, over the N(N+1)/2 values (a slow rotation, so the
// values stay bounded); one iteration stands for one sample.
void BM_RlsYardstick(benchmark::State &state) {
  const int64_t n = state.range(0);
  const size_t m = size_t(n * (n + 1) / 2);
  std::vector<DT32F> a = benchSignal(m, 3), b = benchSignal(m, 4);
  const DT32F e = DT32F(1e-3);
  for (auto _ : state) {
    DT32F *pa = a.data(), *pb = b.data();
    for (size_t i = 0; i < m; ++i) pa[i] += e * pb[i];
    for (size_t i = 0; i < m; ++i) pb[i] -= e * pa[i];
    benchmark::ClobberMemory();
  }
  perSample(state, 1, n);
}

}  // namespace

BENCHMARK(BM_RlsFilterUpdate)->Arg(8)->Arg(32)->Arg(128)->Arg(256);
BENCHMARK(BM_RlsYardstick)->Arg(8)->Arg(32)->Arg(128)->Arg(256);
