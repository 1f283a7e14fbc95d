// SPDX-License-Identifier: MIT
// The real FFT engine, forward and inverse, for M = 16 .. 8192; FFTW's r2c
// and c2r (planned with FFTW_MEASURE) beside it when the bench is built with
// FFTW. Every case copies its fresh input in before each transform, so that
// repeated transforms never run on overflowed values; the fresh copy lies
// just above the transformed buffer in one block, so that the copy does not
// stall on false store-to-load aliasing (buffers a multiple of 4 KiB apart
// would). The engine is internal to the library, so its source is compiled
// in here.
#include <string.h>

#include "../src32f/fft32f.cpp"
#include "benchutil32f.h"
#include "quolmffttables32f.h"

#ifdef QUOLM_BENCH_FFTW
#include <fftw3.h>
#endif

namespace {

constexpr int kGap = 16;  // values between a buffer and its fresh copy

void realFftCase(benchmark::State &state, DT32S direction) {
  const DT32S M = DT32S(state.range(0));
  std::vector<DT32S> work(2 + quolmFftWorkLen32f(M));
  std::vector<DT32F> table(M / 2);
  quolmFftTables32f(M, work.data(), table.data());
  std::vector<DT32F> block(2 * size_t(M) + kGap);
  DT32F *a = block.data(), *fresh = a + M + kGap;
  const std::vector<DT32F> x = benchSignal(size_t(M));
  std::copy(x.begin(), x.end(), fresh);
  for (auto _ : state) {
    memcpy(a, fresh, sizeof(DT32F) * M);
    quolm32f::realFft(M, direction, a, work.data(), table.data());
    benchmark::DoNotOptimize(a);
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
  const size_t inLen = forward ? size_t(M) : 2 * size_t(bins);
  // The transform's input, its fresh copy above it, then its output.
  DT32F *block = static_cast<DT32F *>(
      FFTW(malloc)(sizeof(DT32F) * (2 * inLen + kGap + 2 * size_t(bins))));
  DT32F *in = block, *fresh = block + inLen + kGap, *out = fresh + inLen;
  DT32F *real = forward ? in : out, *spectrum = forward ? out : in;
  auto *cspec = reinterpret_cast<FFTW(complex) *>(spectrum);
  FFTW(plan)
  plan = forward ? FFTW(plan_dft_r2c_1d)(M, real, cspec, FFTW_MEASURE)
                 : FFTW(plan_dft_c2r_1d)(M, cspec, real, FFTW_MEASURE);
  const std::vector<DT32F> x = benchSignal(size_t(M));
  if (forward) {
    std::copy(x.begin(), x.end(), fresh);
  } else {  // a valid spectrum: the signal's
    FFTW(plan) r2c = FFTW(plan_dft_r2c_1d)(M, real, cspec, FFTW_ESTIMATE);
    std::copy(x.begin(), x.end(), real);
    FFTW(execute)(r2c);
    FFTW(destroy_plan)(r2c);
    memcpy(fresh, spectrum, sizeof(DT32F) * inLen);
  }
  for (auto _ : state) {
    memcpy(in, fresh, sizeof(DT32F) * inLen);
    FFTW(execute)(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  perSample(state, M);
  FFTW(destroy_plan)(plan);
  FFTW(free)(block);
}

void BM_FftwR2c(benchmark::State &state) { fftwCase(state, true); }
void BM_FftwC2r(benchmark::State &state) { fftwCase(state, false); }
BENCHMARK(BM_FftwR2c)->RangeMultiplier(2)->Range(16, 8192);
BENCHMARK(BM_FftwC2r)->RangeMultiplier(2)->Range(16, 8192);
#endif

}  // namespace
