// SPDX-License-Identifier: MIT
// Cost of the C++ layer's whole-signal calls against the hand-written loop
// over the C per-sample (per-block) calls: NLMS of 32 taps and a PBFDAF of
// 1024 taps (8 partitions of 128, blocks of 128), both precisions. Each pair
// should run at the same speed: the layer adds a size check per call and
// nothing per sample.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "quolm/quolm.hpp"

namespace {

constexpr std::size_t kSamples = 16384;
constexpr std::size_t kNlmsTaps = 32;
constexpr std::size_t kPartitionLen = 128, kPartitions = 8, kBlockLen = 128, kFft = 256;

template <class T>
std::vector<T> noise(std::size_t n, uint32_t seed) {
  std::vector<T> v(n);
  for (T &s : v) {
    seed = seed * 1664525u + 1013904223u;
    s = T(double(seed >> 8) / 16777216.0 - 0.5);
  }
  return v;
}

template <class T>
struct Signals {
  std::vector<T> x = noise<T>(kSamples, 1), d = noise<T>(kSamples, 2), y =
      std::vector<T>(kSamples), e = std::vector<T>(kSamples);
};

void perSample(benchmark::State &state) {
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kSamples));
}

template <class T>
void NlmsCLoop(benchmark::State &state) {
  Signals<T> s;
  constexpr bool single = std::is_same_v<T, float>;
  quolm::detail::Pick<T, quolm_c32f::quolmNlms, quolm_c64f::quolmNlms> f;
  if constexpr (single) nlms32fInit(&f, kNlmsTaps, 0.01f);
  else nlms64fInit(&f, kNlmsTaps, 0.01);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kSamples; ++i) {
      if constexpr (single) s.y[i] = nlms32fFilterUpdate(&f, s.x[i], s.d[i]);
      else s.y[i] = nlms64fFilterUpdate(&f, s.x[i], s.d[i]);
    }
    benchmark::DoNotOptimize(s.y.data());
  }
  if constexpr (single) nlms32fFree(&f);
  else nlms64fFree(&f);
  perSample(state);
}

template <class T>
void NlmsLayer(benchmark::State &state) {
  Signals<T> s;
  quolm::Nlms<T> f(kNlmsTaps, T(0.01));
  for (auto _ : state) {
    f.filterUpdate(s.x, s.d, s.y);
    benchmark::DoNotOptimize(s.y.data());
  }
  perSample(state);
}

template <class T>
void PbfdafCLoop(benchmark::State &state) {
  Signals<T> s;
  constexpr bool single = std::is_same_v<T, float>;
  std::vector<DT32S> work(kFft / 2 + 2);
  std::vector<T> table(kFft / 2);
  quolm::detail::Pick<T, quolm_c32f::quolmPbfdaf, quolm_c64f::quolmPbfdaf> f;
  if constexpr (single) {
    quolmFftTables32f(kFft, work.data(), table.data());
    pbfdaf32fInit(&f, kPartitionLen, kBlockLen, kPartitions, 0.01f, 1, work.data(), table.data());
  } else {
    quolmFftTables64f(kFft, work.data(), table.data());
    pbfdaf64fInit(&f, kPartitionLen, kBlockLen, kPartitions, 0.01, 1, work.data(), table.data());
  }
  for (auto _ : state) {
    for (std::size_t i = 0; i < kSamples; i += kBlockLen) {
      if constexpr (single) pbfdaf32fFilterUpdate(&f, &s.x[i], &s.d[i], &s.y[i], &s.e[i]);
      else pbfdaf64fFilterUpdate(&f, &s.x[i], &s.d[i], &s.y[i], &s.e[i]);
    }
    benchmark::DoNotOptimize(s.y.data());
  }
  if constexpr (single) pbfdaf32fFree(&f);
  else pbfdaf64fFree(&f);
  perSample(state);
}

template <class T>
void PbfdafLayer(benchmark::State &state) {
  Signals<T> s;
  quolm::Pbfdaf<T> f(kPartitionLen, kBlockLen, kPartitions, T(0.01));
  for (auto _ : state) {
    f.filterUpdate(s.x, s.d, s.y, s.e);
    benchmark::DoNotOptimize(s.y.data());
  }
  perSample(state);
}

}  // namespace

// Interleaved pairs, so that a change in machine load hits both sides alike.
BENCHMARK(NlmsCLoop<float>)->Name("CppLayer/NlmsCLoop/float");
BENCHMARK(NlmsLayer<float>)->Name("CppLayer/NlmsLayer/float");
BENCHMARK(NlmsCLoop<double>)->Name("CppLayer/NlmsCLoop/double");
BENCHMARK(NlmsLayer<double>)->Name("CppLayer/NlmsLayer/double");
BENCHMARK(PbfdafCLoop<float>)->Name("CppLayer/PbfdafCLoop/float");
BENCHMARK(PbfdafLayer<float>)->Name("CppLayer/PbfdafLayer/float");
BENCHMARK(PbfdafCLoop<double>)->Name("CppLayer/PbfdafCLoop/double");
BENCHMARK(PbfdafLayer<double>)->Name("CppLayer/PbfdafLayer/double");
