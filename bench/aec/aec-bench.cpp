// SPDX-License-Identifier: MIT
// aec-bench: processing time per frame of libquolmaec and of SpeexDSP's echo
// canceller on the evaluation's single-talk microphone signal (same 16-bit
// samples, frame and tail), then the ratio of the two CPU times of the run.
// Usage: aec-bench [benchmark flags] material-dir
#include <benchmark/benchmark.h>
#include <math.h>
#include <speex/speex_echo.h>
#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "quolmaec.h"
#include "scenario.h"

namespace {

constexpr int kRate = 16000;
std::vector<short> gFar, gMic;  // the single-talk scenario, 16-bit

std::vector<short> toInt16(const Signal &s) {
  std::vector<short> q(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    q[i] = short(lrint(fmax(-32768.0, fmin(32767.0, 32768.0 * s[i]))));
  return q;
}

// Each iteration is one frame; the signal repeats as often as needed.
void BM_Quolm(benchmark::State &state) {
  const int frame = int(state.range(0)), tail = int(state.range(1));
  quolmAec *aec = nullptr;
  if (quolmAecCreate(&aec, kRate, frame, tail) != 0) {
    state.SkipWithError("create failed");
    return;
  }
  std::vector<float> x(gFar.begin(), gFar.end()), d(gMic.begin(), gMic.end()),
      out(static_cast<size_t>(frame));
  const size_t frames = x.size() / size_t(frame);
  size_t k = 0;
  for (auto _ : state) {
    quolmAecProcess(aec, &x[k * frame], &d[k * frame], out.data());
    k = k + 1 == frames ? 0 : k + 1;
  }
  quolmAecDestroy(aec);
}

void BM_SpeexDsp(benchmark::State &state) {
  const int frame = int(state.range(0)), tail = int(state.range(1));
  SpeexEchoState *st = speex_echo_state_init(frame, tail);
  int rate = kRate;
  speex_echo_ctl(st, SPEEX_ECHO_SET_SAMPLING_RATE, &rate);
  std::vector<short> out(static_cast<size_t>(frame));
  const size_t frames = gMic.size() / size_t(frame);
  size_t k = 0;
  for (auto _ : state) {
    speex_echo_cancellation(st, &gMic[k * frame], &gFar[k * frame], out.data());
    k = k + 1 == frames ? 0 : k + 1;
  }
  speex_echo_state_destroy(st);
}

BENCHMARK(BM_Quolm)->Args({128, 2048})->Args({160, 2048});
BENCHMARK(BM_SpeexDsp)->Args({128, 2048})->Args({160, 2048});

// The console report (plain text, it goes into a file), keeping each run's
// CPU time per frame by name.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, double> cpu;
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs) cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: aec-bench [benchmark flags] material-dir\n");
    return 2;
  }
  const Scenario single = makeScenarios(argv[1], kRate).front();
  Signal mic(single.far.size());
  for (size_t i = 0; i < mic.size(); ++i)
    mic[i] = single.echo[i] + single.near[i] + single.noise[i];
  gFar = toInt16(single.far);
  gMic = toInt16(mic);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char *args : {"128/2048", "160/2048"}) {
    const std::string q = std::string("BM_Quolm/") + args;
    const std::string s = std::string("BM_SpeexDsp/") + args;
    if (reporter.cpu.count(q) && reporter.cpu.count(s))
      printf("cpu ratio quolm / speexdsp, frame/tail %s: %.2f (target <= 0.8)\n",
             args, reporter.cpu[q] / reporter.cpu[s]);
  }
  benchmark::Shutdown();
  return 0;
}
