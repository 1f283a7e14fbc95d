// SPDX-License-Identifier: MIT
/* Signal level and the power-normalised families. Their power estimates
   start at 1.0 whatever the input's level, so a quiet input first adapts
   with steps far too small (and a loud one with steps far too large) until
   the estimates have caught up. A 1024-tap PBFDAF echo canceller on noise
   at -40 dBFS (rms 0.01), three ways: as is; with the caller scaling the
   input to unit rms; with the record's power estimates set after Init.
   Headline: how much longer the first way takes to reach 20 dB ERLE. */
#include <quolm32f.h>
#include <quolmffttables32f.h>

#include "example.h"

enum { RATE = 16000, L = 128, B = 128, P = 8, M = 256, TAPS = P * L, WAYS = 3 };
enum { AS_IS, SCALED, POWER_SET };
static const char *const kWays[WAYS] = {"power estimates left at 1.0",
                                        "input scaled to unit rms",
                                        "power estimates set after Init"};
static const double kRms = 0.01;

static int run(int way, const float *far, const float *mic, int n,
               double *curve) {
  static DT32S fftWork[2 + M / 2];
  static DT32F fftTable[M / 2];
  quolmPbfdaf f;
  DT32F x[B], d[B], y[B], e[B];
  const float gain = way == SCALED ? (float)(1 / kRms) : 1.0f;
  quolmFftTables32f(M, fftWork, fftTable);
  /* normalised step mu*P*L*B/M = 0.5: white noise */
  if (pbfdaf32fInit(&f, L, B, P, 0.5f * M / ((float)P * L * B), 1, fftWork,
                    fftTable))
    return -1;
  /* What a window of M samples at rms kRms gives per bin, over B. */
  if (way == POWER_SET)
    for (int k = 0; k < f.bins; ++k)
      f.power[k] = (DT32F)((double)M / B * kRms * kRms);
  for (int b = 0; b + B <= n; b += B) {
    double pe = 0, pd = 0;
    for (int i = 0; i < B; ++i)
      x[i] = gain * far[b + i], d[i] = gain * mic[b + i];
    pbfdaf32fFilterUpdate(&f, x, d, y, e);
    for (int i = 0; i < B; ++i) pe += e[i] * e[i], pd += d[i] * d[i];
    curve[b / B] = exDb(pe / pd);
  }
  pbfdaf32fFree(&f);
  return 0;
}

/* Seconds until a run of ten blocks stays 20 dB down. */
static double settle(const double *curve, int blocks) {
  for (int b = 0, run = 0; b < blocks; ++b)
    if ((run = curve[b] < -20 ? run + 1 : 0) == 10) return (b - 9.0) * B / RATE;
  return blocks * (double)B / RATE;
}

static void plot(const ExArgs *a, double *curves[WAYS], int blocks) {
  FILE *gp = exPlotOpen(a, 800, 420);
  double t[blocks];
  if (!gp) return;
  for (int b = 0; b < blocks; ++b) t[b] = (b + 1.0) * B / RATE;
  for (int w = 0; w < WAYS; ++w) exPlotSeries(gp, w, t, curves[w], blocks);
  fprintf(gp,
          "set title 'PBFDAF, 1024 taps, far end at -40 dBFS'\n"
          "set xlabel 'time (s)'\nset ylabel 'residual echo (dB)'\n");
  exPlotLines(gp, 0, WAYS, kWays);
  exPlotClose(gp, a);
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "levels.png");
  const int n = (a.smoke ? 4 : 8) * RATE, blocks = n / B;
  float *far = malloc(n * sizeof *far), *mic = malloc(n * sizeof *mic),
        room[TAPS];
  double *curves[WAYS], took[WAYS];
  ExRng r = {11};
  quolmFir echo;
  int fails = 0;
  if (!far || !mic || fir32fInit(&echo, TAPS, room) != 0) return 1;
  exRoom(&r, room, TAPS, 20, 0.5);
  for (int i = 0; i < n; ++i) far[i] = (float)(kRms * exGauss(&r));
  fir32fBlockFilter(&echo, far, mic, n);
  for (int w = 0; w < WAYS; ++w) {
    if (!(curves[w] = malloc(blocks * sizeof **curves)) ||
        run(w, far, mic, n, curves[w]))
      return 1;
    took[w] = settle(curves[w], blocks);
    printf("%-32s 20 dB ERLE after %.2f s\n", kWays[w], took[w]);
  }
  fails += exCheck("slow-down with the estimates left at 1.0 (times)",
                   took[AS_IS] / took[POWER_SET], 3, 1);
  fails += exCheck("scaling vs setting the estimates (ratio)",
                   took[SCALED] / took[POWER_SET], 1.5, 0);
  plot(&a, curves, blocks);
  for (int w = 0; w < WAYS; ++w) free(curves[w]);
  fir32fFree(&echo), free(far), free(mic);
  return fails;
}
