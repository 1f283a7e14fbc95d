// SPDX-License-Identifier: MIT
// RLS lattice families per sample at N = 8, 32, 128: the lattice itself is
// linear in N; the prediction filters' direct-form conversion (updateCoefs)
// adds order N^2.
#include "benchutil32f.h"

namespace {

constexpr int kSamples = 1024;

void BM_RlsLatticeFilterUpdate(benchmark::State &state) {
  const DT32S N = DT32S(state.range(0));
  const std::vector<DT32F> x = benchSignal(kSamples, 1), d = benchSignal(kSamples, 2);
  quolmRlslattice f;
  rlslattice32fInit(&f, N, DT32F(0.999));
  for (auto _ : state)
    for (int n = 0; n < kSamples; ++n)
      benchmark::DoNotOptimize(rlslattice32fFilterUpdate(&f, x[n], d[n]));
  perSample(state, kSamples, N);
  rlslattice32fFree(&f);
}

void BM_RlsLatticeFilterOnly(benchmark::State &state) {
  const DT32S N = DT32S(state.range(0));
  const std::vector<DT32F> x = benchSignal(kSamples, 1), d = benchSignal(kSamples, 2);
  quolmRlslattice f;
  rlslattice32fInit(&f, N, DT32F(0.999));
  for (int n = 0; n < kSamples; ++n) rlslattice32fFilterUpdate(&f, x[n], d[n]);
  for (auto _ : state)
    for (int n = 0; n < kSamples; ++n)
      benchmark::DoNotOptimize(rlslattice32fFilterOnly(&f, x[n]));
  perSample(state, kSamples, N);
  rlslattice32fFree(&f);
}

// range(1) is updateCoefs.
template <class Rec, DT32S (*Init)(Rec *, DT32S, DT32F),
          DT32F (*Update)(Rec *, DT32F), void (*Release)(Rec *)>
void PredictorFilterUpdate(benchmark::State &state) {
  const DT32S N = DT32S(state.range(0));
  const std::vector<DT32F> x = benchSignal(kSamples, 3);
  Rec f;
  Init(&f, N, DT32F(0.999));
  f.updateCoefs = DT32S(state.range(1));
  for (auto _ : state)
    for (int n = 0; n < kSamples; ++n) benchmark::DoNotOptimize(Update(&f, x[n]));
  perSample(state, kSamples, N);
  Release(&f);
}

void BM_RlslbpefFilterUpdate(benchmark::State &state) {
  PredictorFilterUpdate<quolmRlslbpef, rlslbpef32fInit, rlslbpef32fFilterUpdate,
                        rlslbpef32fFree>(state);
}

void BM_RlslfpefFilterUpdate(benchmark::State &state) {
  PredictorFilterUpdate<quolmRlslfpef, rlslfpef32fInit, rlslfpef32fFilterUpdate,
                        rlslfpef32fFree>(state);
}

}  // namespace

BENCHMARK(BM_RlsLatticeFilterUpdate)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_RlsLatticeFilterOnly)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_RlslbpefFilterUpdate)->ArgsProduct({{8, 32, 128}, {0, 1}});
BENCHMARK(BM_RlslfpefFilterUpdate)->ArgsProduct({{8, 32, 128}, {0, 1}});
