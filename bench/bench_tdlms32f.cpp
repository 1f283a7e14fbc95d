// SPDX-License-Identifier: MIT
// TDLMS per-sample cost: one forward transform of M values and the bin-wise
// output, power and weight passes, against NLMS of the same length.
#include "benchutil32f.h"
#include "quolmffttables32f.h"

namespace {

constexpr size_t kSamples = 4096;

// Times `update(x, d)` over a fixed signal and reports per-sample figures.
template <class Update>
void runSamples(benchmark::State &state, int64_t taps, Update update) {
  const std::vector<DT32F> x = benchSignal(kSamples, 1);
  const std::vector<DT32F> d = benchSignal(kSamples, 2);
  for (auto _ : state)
    for (size_t n = 0; n < kSamples; ++n)
      benchmark::DoNotOptimize(update(x[n], d[n]));
  perSample(state, int64_t(kSamples), taps);
}

void BM_TdlmsFilterUpdate(benchmark::State &state) {
  const DT32S L = DT32S(state.range(0));
  DT32S M = 2;
  while (M < L) M *= 2;
  std::vector<DT32S> fftWork(size_t(2 + quolmFftWorkLen32f(M)));
  std::vector<DT32F> fftTable(size_t(M / 2));
  quolmFftTables32f(M, fftWork.data(), fftTable.data());
  quolmTdlms f;
  if (tdlms32fInit(&f, L, DT32F(0.01), fftWork.data(), fftTable.data()) != 0) {
    state.SkipWithError("tdlms32fInit failed");
    return;
  }
  runSamples(state, L, [&](DT32F x, DT32F d) { return tdlms32fFilterUpdate(&f, x, d); });
  tdlms32fFree(&f);
}
BENCHMARK(BM_TdlmsFilterUpdate)->Arg(16)->Arg(64)->Arg(256);

void BM_TdlmsNlmsReference(benchmark::State &state) {
  const DT32S L = DT32S(state.range(0));
  quolmNlms f;
  nlms32fInit(&f, L, DT32F(0.01));
  runSamples(state, L, [&](DT32F x, DT32F d) { return nlms32fFilterUpdate(&f, x, d); });
  nlms32fFree(&f);
}
BENCHMARK(BM_TdlmsNlmsReference)->Arg(64);

}  // namespace
