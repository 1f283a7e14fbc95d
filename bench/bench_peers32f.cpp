// SPDX-License-Identifier: MIT
// The peers users would pick instead, measured in the same run as the
// library when their development packages are installed (optional, never
// needed by the library): SpeexDSP's echo canceller per sample at the PBFDAF
// bench's frame and tail, and liquid-dsp's LMS and RLS equalisers per sample.
// Only the single-precision program runs them (both peers work in float).
#include "benchutil32f.h"

#if !defined(QUOLM_BUILD_DT64F) && defined(QUOLM_BENCH_SPEEXDSP)
#include <speex/speex_echo.h>

namespace {

// One frame of 128 samples per iteration, 4096 taps of tail: the PBFDAF
// bench's B and P L. The canceller also runs its own step-size control and
// a DC notch per frame, so this is the cost of the whole job.
void BM_PeerSpeexEcho(benchmark::State &state) {
  const int frame = int(state.range(0)), tail = int(state.range(1));
  SpeexEchoState *st = speex_echo_state_init(frame, tail);
  const std::vector<DT32F> x = benchSignal(1 << 16, 1), d = benchSignal(1 << 16, 2);
  std::vector<spx_int16_t> far(x.size()), mic(d.size()),
      out(static_cast<size_t>(frame));
  for (size_t i = 0; i < x.size(); ++i)
    far[i] = spx_int16_t(16384 * x[i]), mic[i] = spx_int16_t(16384 * d[i]);
  size_t n = 0;
  for (auto _ : state) {
    speex_echo_cancellation(st, &mic[n], &far[n], out.data());
    benchmark::DoNotOptimize(out.data());
    n = (n + size_t(frame)) % (far.size() - size_t(frame));
  }
  perSample(state, frame, tail);
  speex_echo_state_destroy(st);
}
BENCHMARK(BM_PeerSpeexEcho)->Args({128, 4096});

}  // namespace
#endif

#if !defined(QUOLM_BUILD_DT64F) && defined(QUOLM_BENCH_LIQUID)
#include <complex.h>
#include <liquid/liquid.h>

// liquid marks its per-sample push and the RLS equaliser as deprecated; they
// are still what a per-sample user calls.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

const std::vector<DT32F> kX = benchSignal(4096, 7), kD = benchSignal(4096, 8);

// push, execute, step: one adaptive equaliser update per sample.
template <class Q, Q (*create)(float *, unsigned), int (*push)(Q, float),
          int (*execute)(Q, float *), int (*step)(Q, float, float),
          int (*destroy)(Q)>
void peerEqualiser(benchmark::State &state) {
  const int n = int(state.range(0));
  Q q = create(nullptr, unsigned(n));
  size_t i = 0;
  for (auto _ : state) {
    float y;
    push(q, kX[i & 4095]);
    execute(q, &y);
    step(q, kD[i & 4095], y);
    benchmark::DoNotOptimize(y);
    ++i;
  }
  perSample(state, 1, n);
  destroy(q);
}

void BM_PeerLiquidLms(benchmark::State &state) {
  peerEqualiser<eqlms_rrrf, eqlms_rrrf_create, eqlms_rrrf_push,
                eqlms_rrrf_execute, eqlms_rrrf_step, eqlms_rrrf_destroy>(state);
}
void BM_PeerLiquidRls(benchmark::State &state) {
  peerEqualiser<eqrls_rrrf, eqrls_rrrf_create, eqrls_rrrf_push,
                eqrls_rrrf_execute, eqrls_rrrf_step, eqrls_rrrf_destroy>(state);
}
BENCHMARK(BM_PeerLiquidLms)->Arg(256)->Arg(1024)->Arg(4096);
BENCHMARK(BM_PeerLiquidRls)->Arg(32)->Arg(128);

}  // namespace
#endif
