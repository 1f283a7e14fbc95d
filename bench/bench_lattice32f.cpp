// SPDX-License-Identifier: MIT
// Per-sample cost of the gradient lattice filters, with the LMS filter of
// the same length as the yardstick of the LMS lattice.
#include "benchutil32f.h"

namespace {

const std::vector<DT32F> kLatticeSignal = benchSignal(4096, 11);

DT32F sample(size_t i) { return kLatticeSignal[i & 4095]; }

// The reference: LMS FilterUpdate at the same lengths.
void BM_LmsRef(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmLms f;
  lms32fInit(&f, n, DT32F(1e-4));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lms32fFilterUpdate(&f, sample(i), sample(i + 1)));
    ++i;
  }
  perSample(state, 1, n);
  lms32fFree(&f);
}

void BM_LmsLatticeUpdate(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmLmslattice f;
  lmslattice32fInit(&f, n, DT32F(1e-3), DT32F(1e-3));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        lmslattice32fFilterUpdate(&f, sample(i), sample(i + 1)));
    ++i;
  }
  perSample(state, 1, n);
  lmslattice32fFree(&f);
}

void BM_LmsLatticeOnly(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmLmslattice f;
  lmslattice32fInit(&f, n, DT32F(1e-3), DT32F(1e-3));
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(lmslattice32fFilterOnly(&f, sample(i++)));
  perSample(state, 1, n);
  lmslattice32fFree(&f);
}

// Prediction error filters: range(0) the order, range(1) updateCoefs.
template <class Rec, DT32S (*Init)(Rec *, DT32S, DT32F),
          DT32F (*Update)(Rec *, DT32F), void (*Free)(Rec *)>
void BM_Predictor(benchmark::State &state) {
  const int n = int(state.range(0));
  Rec f;
  Init(&f, n, DT32F(1e-3));
  f.updateCoefs = DT32S(state.range(1));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Update(&f, sample(i++)));
  perSample(state, 1, n);
  Free(&f);
}

void orders(benchmark::internal::Benchmark *b) {
  for (int n : {8, 32, 128}) b->Arg(n);
}

void ordersAndFlag(benchmark::internal::Benchmark *b) {
  for (int u : {1, 0})
    for (int n : {8, 32, 128}) b->Args({n, u});
}

}  // namespace

BENCHMARK(BM_LmsRef)->Apply(orders);
BENCHMARK(BM_LmsLatticeUpdate)->Apply(orders);
BENCHMARK(BM_LmsLatticeOnly)->Apply(orders);
BENCHMARK_TEMPLATE(BM_Predictor, quolmLbpef, lbpef32fInit, lbpef32fFilterUpdate,
                   lbpef32fFree)->Apply(ordersAndFlag);
BENCHMARK_TEMPLATE(BM_Predictor, quolmLfpef, lfpef32fInit, lfpef32fFilterUpdate,
                   lfpef32fFree)->Apply(ordersAndFlag);
