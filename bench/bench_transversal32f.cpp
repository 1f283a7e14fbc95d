// SPDX-License-Identifier: MIT
// Per-sample cost of the transversal filters against the bare sequential
// dot product of the same length.
#include "benchutil32f.h"

namespace {

const std::vector<DT32F> kSignal = benchSignal(4096, 7);

DT32F at(size_t i) { return kSignal[i & 4095]; }

// The yardstick: one double accumulator in index order over N products.
void BM_DotProduct(benchmark::State &state) {
  const int n = int(state.range(0));
  const std::vector<DT32F> a = benchSignal(size_t(n), 1), b = benchSignal(size_t(n), 2);
  for (auto _ : state) {
    double acc = 0.0;
    for (int k = 0; k < n; ++k) acc += double(a[size_t(k)]) * double(b[size_t(k)]);
    benchmark::DoNotOptimize(acc);
    benchmark::ClobberMemory();
  }
  perSample(state, 1, n);
}

void BM_FirFilter(benchmark::State &state) {
  const int n = int(state.range(0));
  std::vector<DT32F> c = benchSignal(size_t(n), 3);
  quolmFir f;
  fir32fInit(&f, n, c.data());
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(fir32fFilter(&f, at(i++)));
  perSample(state, 1, n);
  fir32fFree(&f);
}

void BM_FirBlockFilter64(benchmark::State &state) {
  const int n = int(state.range(0));
  std::vector<DT32F> c = benchSignal(size_t(n), 3), y(64);
  quolmFir f;
  fir32fInit(&f, n, c.data());
  size_t i = 0;
  for (auto _ : state) {
    fir32fBlockFilter(&f, &kSignal[(i++ & 63) * 64], y.data(), 64);
    benchmark::DoNotOptimize(y.data());
  }
  perSample(state, 64, n);
  fir32fFree(&f);
}

template <DT32F (*Update)(quolmLms *, DT32F, DT32F)>
void BM_Lms(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmLms f;
  lms32fInit(&f, n, DT32F(1e-4));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Update(&f, at(i), at(i + 1)));
    ++i;
  }
  perSample(state, 1, n);
  lms32fFree(&f);
}

void BM_NlmsFilterUpdate(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmNlms f;
  nlms32fInit(&f, n, DT32F(1e-3));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(nlms32fFilterUpdate(&f, at(i), at(i + 1)));
    ++i;
  }
  perSample(state, 1, n);
  nlms32fFree(&f);
}

void lengths(benchmark::internal::Benchmark *b) {
  for (int n : {16, 64, 256, 1024, 4096}) b->Arg(n);
}

}  // namespace

BENCHMARK(BM_DotProduct)->Apply(lengths);
BENCHMARK(BM_FirFilter)->Apply(lengths);
BENCHMARK(BM_FirBlockFilter64)->Apply(lengths);
BENCHMARK_TEMPLATE(BM_Lms, lms32fFilterUpdate)->Apply(lengths);
BENCHMARK_TEMPLATE(BM_Lms, lms32fFilterUpdateSignSign)->Apply(lengths);
BENCHMARK(BM_NlmsFilterUpdate)->Apply(lengths);
