// SPDX-License-Identifier: MIT
// Many channels at once: 64 independent 256-tap NLMS echo cancellers, run
// by one thread and then spread over 2, 4, ... threads up to the machine's
// cores. The records share nothing, so the work should scale with the cores
// and every channel's result should not depend on the thread that ran it.
// Headline: throughput per core with all cores against one thread.
#include <quolm32f.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include "example.h"

namespace {

constexpr int kChannels = 64, kTaps = 256;

struct Channel {
  std::vector<float> far, mic, out;
};

std::vector<Channel> makeChannels(int samples) {
  std::vector<Channel> all(kChannels);
  ExRng r{1};
  std::vector<float> room(kTaps);
  for (Channel &c : all) {
    quolmFir echo;
    exRoom(&r, room.data(), kTaps, 5, 0.5);
    c.far.resize(samples), c.mic.resize(samples), c.out.resize(samples);
    for (float &x : c.far) x = float(exGauss(&r));
    if (fir32fInit(&echo, kTaps, room.data()) == 0)
      fir32fBlockFilter(&echo, c.far.data(), c.mic.data(), samples);
    fir32fFree(&echo);
  }
  return all;
}

// One canceller from a fresh record: the same result whichever thread runs it.
void cancel(Channel &c) {
  quolmNlms f;
  if (nlms32fInit(&f, kTaps, 1.0f / kTaps) != 0) return;
  for (size_t i = 0; i < c.far.size(); ++i) {
    nlms32fFilterUpdate(&f, c.far[i], c.mic[i]);
    c.out[i] = f.err;
  }
  nlms32fFree(&f);
}

double threadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct Timing {
  double wall, cpu;  // seconds; cpu summed over the threads
};

// Runs every channel on `threads` threads; the best of three runs. The
// processor time counts only what the threads themselves ran, so other
// programs on the machine do not blur the per-core figure.
Timing timeRun(std::vector<Channel> &all, int threads) {
  Timing best{1e30, 1e30};
  for (int rep = 0; rep < 3; ++rep) {
    std::vector<double> cpu(threads);
    std::vector<std::thread> pool;
    auto t0 = std::chrono::steady_clock::now();
    for (int t = 0; t < threads; ++t)
      pool.emplace_back([&all, &cpu, t, threads] {
        double c0 = threadSeconds();
        for (int k = t; k < kChannels; k += threads) cancel(all[k]);
        cpu[t] = threadSeconds() - c0;
      });
    for (std::thread &th : pool) th.join();
    double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0)
            .count();
    best.wall = std::min(best.wall, wall);
    double sum = 0;
    for (double c : cpu) sum += c;
    best.cpu = std::min(best.cpu, sum);
  }
  return best;
}

void plot(const ExArgs &a, const std::vector<double> &threads,
          const std::vector<double> &perCore) {
  FILE *gp = exPlotOpen(&a, 700, 400);
  if (!gp) return;
  exPlotSeries(gp, 0, threads.data(), perCore.data(), int(threads.size()));
  std::fprintf(gp,
               "set title '64 NLMS cancellers, 256 taps: throughput per core'\n"
               "set xlabel 'threads'\nset ylabel 'Msamples per second of "
               "processor time'\n"
               "set yrange [0:*]\nset offsets 0, 0, graph 0.1, 0\nset xtics "
               "1\nset boxwidth 0.5\nset style fill solid 0.6\n"
               "plot $c0 with boxes notitle\n");
  exPlotClose(gp, &a);
}

}  // namespace

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "channels.png");
  const int samples = a.smoke ? 3000 : 16000;
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  std::vector<Channel> all = makeChannels(samples);
  std::vector<double> threads, perCore;
  timeRun(all, 1);
  const std::vector<Channel> serial = all;
  for (int t = 1;; t = std::min(2 * t, cores)) {
    const double work = kChannels * double(samples) / 1e6;
    Timing s = timeRun(all, t);
    threads.push_back(t), perCore.push_back(work / s.cpu);
    std::printf(
        "%3d threads: %7.2f Msamples/s, %6.2f per core-second of processor "
        "time\n",
        t, work / s.wall, perCore.back());
    if (t == cores) break;
  }
  int fails = 0;
  bool same = true;
  double worst = 1e30;
  for (int k = 0; k < kChannels; ++k) {
    same = same && all[k].out == serial[k].out;
    double pm = 0, pe = 0;
    for (int i = samples / 2; i < samples; ++i)
      pm += all[k].mic[i] * all[k].mic[i], pe += all[k].out[i] * all[k].out[i];
    worst = std::min(worst, exDb(pm / pe));
  }
  fails +=
      exCheck("threaded results equal the serial ones (1 = yes)", same, 1, 1);
  fails += exCheck("worst channel's ERLE, second half (dB)", worst, 20, 1);
  if (perCore.size() > 1)
    fails += exCheck("per-core throughput, all cores vs one (ratio)",
                     perCore.back() / perCore[0], 0.7, 1);
  plot(a, threads, perCore);
  return fails;
}
