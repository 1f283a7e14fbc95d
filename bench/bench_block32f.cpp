// SPDX-License-Identifier: MIT
// Per-sample cost of the block LMS/NLMS and secondary-path families against
// the per-sample LMS at the same length (BM_LmsRef) and against the sum of
// the passes a filtered-x step needs (BM_FxlmsParts).
#include "benchutil32f.h"

namespace {

const std::vector<DT32F> kSignal = benchSignal(4096, 11);
constexpr int kBlock = 64;

DT32F at(size_t i) { return kSignal[i & 4095]; }
const DT32F *block(size_t i) { return &kSignal[(i & 63) * kBlock]; }

void BM_LmsRef(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmLms f;
  lms32fInit(&f, n, DT32F(1e-4));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lms32fFilterUpdate(&f, at(i), at(i + 1)));
    ++i;
  }
  perSample(state, 1, n);
  lms32fFree(&f);
}

void BM_Blms(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmBlms f;
  blms32fInit(&f, n, kBlock, DT32F(1e-4));
  std::vector<DT32F> y(kBlock), e(kBlock);
  size_t i = 0;
  for (auto _ : state) {
    blms32fFilterUpdate(&f, block(i), block(i + 1), y.data(), e.data());
    benchmark::DoNotOptimize(y.data());
    ++i;
  }
  perSample(state, kBlock, n);
  blms32fFree(&f);
}

void BM_Bnlms(benchmark::State &state) {
  const int n = int(state.range(0));
  quolmBnlms f;
  bnlms32fInit(&f, n, kBlock, DT32F(1e-3));
  std::vector<DT32F> y(kBlock), e(kBlock);
  size_t i = 0;
  for (auto _ : state) {
    bnlms32fFilterUpdate(&f, block(i), block(i + 1), y.data(), e.data());
    benchmark::DoNotOptimize(y.data());
    ++i;
  }
  perSample(state, kBlock, n);
  bnlms32fFree(&f);
}

constexpr int kN = 256, kNs = 64, kNm = 64;
const std::vector<DT32F> kPath = benchSignal(kNs, 5);

// The yardstick of a filtered-x step: dot products of lengths N, Ns and Nm
// and one update of N (an LMS step is one dot product plus one update).
void BM_FxlmsParts(benchmark::State &state) {
  quolmLms w;
  quolmFir s, h;
  std::vector<DT32F> path = kPath;
  lms32fInit(&w, kN, DT32F(1e-4));
  fir32fInit(&s, kNs, path.data());
  fir32fInit(&h, kNm, path.data());
  size_t i = 0;
  for (auto _ : state) {
    const DT32F y = lms32fFilterUpdate(&w, at(i), at(i + 1));
    benchmark::DoNotOptimize(fir32fFilter(&s, y));
    benchmark::DoNotOptimize(fir32fFilter(&h, at(i)));
    ++i;
  }
  perSample(state, 1);
  lms32fFree(&w);
  fir32fFree(&s);
  fir32fFree(&h);
}

template <class R,
          DT32S (*Init)(R *, DT32S, DT32F, DT32F *, DT32S, DT32F *, DT32S),
          DT32F (*Update)(R *, DT32F, DT32F), void (*Free)(R *)>
void BM_SecPath(benchmark::State &state) {
  R f;
  std::vector<DT32F> path = kPath;
  Init(&f, kN, DT32F(1e-4), path.data(), kNs, path.data(), kNm);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Update(&f, at(i), at(i + 1)));
    ++i;
  }
  perSample(state, 1);
  Free(&f);
}

void BM_Fxlms(benchmark::State &state) {
  BM_SecPath<quolmFxlms, fxlms32fInit, fxlms32fFilterUpdate, fxlms32fFree>(
      state);
}

void BM_Adjlms(benchmark::State &state) {
  BM_SecPath<quolmAdjlms, adjlms32fInit, adjlms32fFilterUpdate, adjlms32fFree>(
      state);
}

}  // namespace

BENCHMARK(BM_LmsRef)->Arg(32)->Arg(256);
BENCHMARK(BM_Blms)->Arg(32)->Arg(256);
BENCHMARK(BM_Bnlms)->Arg(32)->Arg(256);
BENCHMARK(BM_FxlmsParts);
BENCHMARK(BM_Fxlms);
BENCHMARK(BM_Adjlms);
