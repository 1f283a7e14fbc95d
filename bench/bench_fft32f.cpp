// The real FFT engine, forward and inverse, for M = 16 .. 8192; FFTW's r2c
// and c2r (planned with FFTW_MEASURE) beside it when the bench is built with
// FFTW. Every case copies its fresh input in before each transform, so that
// repeated transforms never run on overflowed values. The engine is internal
// to the library, so its source is compiled in here.
#include <string.h>

#include "../src32f/fft32f.cpp"
#include "benchutil32f.h"
#include "quolmffttables32f.h"

#ifdef QUOLM_BENCH_FFTW
#include <fftw3.h>
#endif

namespace {

void realFftCase(benchmark::State &state, DT32S direction) {
  const DT32S M = DT32S(state.range(0));
  std::vector<DT32S> work(2 + quolmFftWorkLen32f(M));
  std::vector<DT32F> table(M / 2);
  quolmFftTables32f(M, work.data(), table.data());
  const std::vector<DT32F> x = benchSignal(size_t(M));
  std::vector<DT32F> a(x.size());
  for (auto _ : state) {
    memcpy(a.data(), x.data(), sizeof(DT32F) * M);
    quolm32f::realFft32f(M, direction, a.data(), work.data(), table.data());
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
  perSample(state, M);
}

void BM_RealFftForward(benchmark::State &state) { realFftCase(state, -1); }
void BM_RealFftInverse(benchmark::State &state) { realFftCase(state, 1); }
BENCHMARK(BM_RealFftForward)->RangeMultiplier(2)->Range(16, 8192);
BENCHMARK(BM_RealFftInverse)->RangeMultiplier(2)->Range(16, 8192);

#ifdef QUOLM_BENCH_FFTW
// The build's precision: fftwf_ in the single build, fftw_ in the double.
#ifdef QUOLM_BUILD_DT64F
#define FFTW(name) fftw_##name
#else
#define FFTW(name) fftwf_##name
#endif

void fftwCase(benchmark::State &state, bool forward) {
  const int M = int(state.range(0)), bins = M / 2 + 1;
  DT32F *real = static_cast<DT32F *>(FFTW(malloc)(sizeof(DT32F) * M));
  auto *spec =
      static_cast<FFTW(complex) *>(FFTW(malloc)(sizeof(FFTW(complex)) * bins));
  FFTW(plan)
  plan = forward ? FFTW(plan_dft_r2c_1d)(M, real, spec, FFTW_MEASURE)
                 : FFTW(plan_dft_c2r_1d)(M, spec, real, FFTW_MEASURE);
  // The input of every run: the signal, or its spectrum for c2r.
  const std::vector<DT32F> x = benchSignal(size_t(M));
  std::vector<DT32F> fresh(forward ? size_t(M) : 2 * size_t(bins));
  if (forward) {
    fresh = x;
  } else {
    FFTW(plan) r2c = FFTW(plan_dft_r2c_1d)(M, real, spec, FFTW_ESTIMATE);
    memcpy(real, x.data(), sizeof(DT32F) * M);
    FFTW(execute)(r2c);
    FFTW(destroy_plan)(r2c);
    memcpy(fresh.data(), spec, sizeof(DT32F) * fresh.size());
  }
  void *in = forward ? static_cast<void *>(real) : static_cast<void *>(spec);
  for (auto _ : state) {
    memcpy(in, fresh.data(), sizeof(DT32F) * fresh.size());
    FFTW(execute)(plan);
    benchmark::DoNotOptimize(real);
    benchmark::ClobberMemory();
  }
  perSample(state, M);
  FFTW(destroy_plan)(plan);
  FFTW(free)(real);
  FFTW(free)(spec);
}

void BM_FftwR2c(benchmark::State &state) { fftwCase(state, true); }
void BM_FftwC2r(benchmark::State &state) { fftwCase(state, false); }
BENCHMARK(BM_FftwR2c)->RangeMultiplier(2)->Range(16, 8192);
BENCHMARK(BM_FftwC2r)->RangeMultiplier(2)->Range(16, 8192);
#endif

}  // namespace
