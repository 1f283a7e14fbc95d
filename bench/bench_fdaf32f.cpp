// SPDX-License-Identifier: MIT
// The block frequency-domain filters per sample: PBFDAF with 4096 taps as
// L = B = 128, P = 32 (constrained and not), BFDAF with L = B = 1024, and the
// time-domain LMS of 4096 taps they are measured against.
#include "benchutil32f.h"

namespace {

constexpr DT32S kTaps = 4096;

// Input and desired streams long enough to cycle through without repeating
// a block at a fixed position.
struct Streams {
  std::vector<DT32F> x = benchSignal(1 << 16, 1), d = benchSignal(1 << 16, 2);
};

void BM_Pbfdaf4096(benchmark::State &state) {
  const DT32S L = 128, B = 128, P = 32, constrain = DT32S(state.range(0));
  std::vector<DT32S> work(2 + quolmFftWorkLen32f(2 * L));
  std::vector<DT32F> table(L);
  quolmFftTables32f(2 * L, work.data(), table.data());
  quolmPbfdaf f;
  pbfdaf32fInit(&f, L, B, P, DT32F(0.003), constrain, work.data(),
                table.data());
  const Streams s;
  std::vector<DT32F> y(B), e(B);
  size_t n = 0;
  for (auto _ : state) {
    pbfdaf32fFilterUpdate(&f, const_cast<DT32F *>(&s.x[n]),
                          const_cast<DT32F *>(&s.d[n]), y.data(), e.data());
    benchmark::DoNotOptimize(e.data());
    n = (n + B) % (s.x.size() - B);
  }
  perSample(state, B, kTaps);
  pbfdaf32fFree(&f);
}
BENCHMARK(BM_Pbfdaf4096)->ArgName("constrain")->Arg(1)->Arg(0);

void BM_Bfdaf1024(benchmark::State &state) {
  const DT32S L = 1024, B = 1024;
  std::vector<DT32S> work(2 + quolmFftWorkLen32f(2 * L));
  std::vector<DT32F> table(L);
  quolmFftTables32f(2 * L, work.data(), table.data());
  quolmBfdaf f;
  bfdaf32fInit(&f, L, B, DT32F(0.003), DT32S(state.range(0)), work.data(),
               table.data());
  const Streams s;
  std::vector<DT32F> y(B), e(B);
  size_t n = 0;
  for (auto _ : state) {
    bfdaf32fFilterUpdate(&f, const_cast<DT32F *>(&s.x[n]),
                         const_cast<DT32F *>(&s.d[n]), y.data(), e.data());
    benchmark::DoNotOptimize(e.data());
    n = (n + B) % (s.x.size() - B);
  }
  perSample(state, B, L);
  bfdaf32fFree(&f);
}
BENCHMARK(BM_Bfdaf1024)->ArgName("constrain")->Arg(1)->Arg(0);

// The reference of the PBFDAF targets: lms32fFilterUpdate with 4096 taps.
void BM_PbfdafVsLms4096(benchmark::State &state) {
  quolmLms f;
  lms32fInit(&f, kTaps, DT32F(1e-4));
  const Streams s;
  size_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lms32fFilterUpdate(&f, s.x[n], s.d[n]));
    if (++n == s.x.size()) n = 0;
  }
  perSample(state, 1, kTaps);
  lms32fFree(&f);
}
BENCHMARK(BM_PbfdafVsLms4096);

}  // namespace
