// SPDX-License-Identifier: MIT
/* Active noise control in a duct at 4 kHz: a 50 Hz hum with eight harmonics
   travels down the primary path; a loudspeaker, heard at the error
   microphone through a secondary path (5 ms of delay and resonance), cancels
   it. FxLMS and AdjLMS with a true secondary-path model, and FxLMS with
   models whose delay is wrong by 2 and by 6 samples (a phase error past
   90 degrees at the upper harmonics). Headline: attenuation at the error
   microphone over the last second. */
#include <quolm32f.h>

#include "example.h"

enum { RATE = 4000, N = 64, NP = 96, NS = 48, RUNS = 4, WIN = RATE / 20 };
static const char *const kRuns[RUNS] = {"FxLMS", "AdjLMS",
                                        "FxLMS, model 2 samples late",
                                        "FxLMS, model 6 samples late"};

/* A delay, then a damped resonance at f Hz, scaled to the given gain. */
static void path(DT32F *h, int n, int delay, double f, double gain) {
  double sum = 0;
  for (int k = 0; k < n; ++k) {
    double t = k - delay;
    h[k] = (DT32F)(t < 0 ? 0
                         : exp(-t / 8.0) *
                               cos(2 * 3.14159265358979 * f * t / RATE));
    sum += h[k] * h[k];
  }
  for (int k = 0; k < n; ++k) h[k] *= (DT32F)(gain / sqrt(sum));
}

/* Runs one controller over n samples; e receives the error microphone. */
static int control(int run, const float *x, const float *d, float *e, int n) {
  static DT32F secPath[NS], model[NS];
  quolmFxlms fx;
  quolmAdjlms adj;
  const int lag[RUNS] = {0, 0, 2, 6};
  /* Normalised steps mu*N well below 1: the path's delay is inside the
     loop, and AdjLMS also waits the model's length before it updates. */
  const DT32F mu = (run == 1 ? 0.03f : 0.1f) / N;
  path(secPath, NS, 20, 300, 1.0);
  path(model, NS, 20 + lag[run], 300, 1.0);
  if (run == 1 ? adjlms32fInit(&adj, N, mu, secPath, NS, model, NS)
               : fxlms32fInit(&fx, N, mu, secPath, NS, model, NS))
    return -1;
  for (int i = 0; i < n; ++i) {
    if (run == 1)
      adjlms32fFilterUpdate(&adj, x[i], d[i]), e[i] = adj.err;
    else
      fxlms32fFilterUpdate(&fx, x[i], d[i]), e[i] = fx.err;
  }
  if (run == 1)
    adjlms32fFree(&adj);
  else
    fxlms32fFree(&fx);
  return 0;
}

static double power(const float *v, int n) {
  double p = 0;
  for (int i = 0; i < n; ++i) p += v[i] * (double)v[i];
  return isfinite(p) ? p / n : INFINITY;
}

static void plot(const ExArgs *a, const float *d, float *e[RUNS], int n) {
  static const char *const kSpectra[3] = {"no control", "FxLMS", "AdjLMS"};
  FILE *gp = exPlotOpen(a, 1100, 420);
  double hz[RATE / 2 + 1], s[RATE / 2 + 1], t[n / WIN], p[n / WIN];
  const float *last[3] = {d + n - RATE, e[0] + n - RATE, e[1] + n - RATE};
  if (!gp) return;
  for (int f = 0; f <= RATE / 2; ++f) hz[f] = f; /* 1 Hz bins over 1 s */
  for (int c = 0; c < 3; ++c)
    exWelch(last[c], RATE, RATE, s), exPlotSeries(gp, c, hz, s, 501);
  for (int r = 0; r < RUNS; ++r) {
    for (int w = 0; w < n / WIN; ++w)
      t[w] = (w + 0.5) * WIN / RATE,
      p[w] = exDb(power(e[r] + w * WIN, WIN) / power(d, n));
    exPlotSeries(gp, 3 + r, t, p, n / WIN);
  }
  fprintf(gp,
          "set multiplot layout 1,2\nset xlabel 'Hz'\nset ylabel 'dB'\n"
          "set title 'Spectrum at the error microphone, last second'\n");
  exPlotLines(gp, 0, 3, kSpectra);
  fprintf(gp,
          "set title 'Error power (50 ms windows)'\nset xlabel 'time (s)'\n"
          "set ylabel 'dB re. no control'\nset yrange [-60:20]\n");
  exPlotLines(gp, 3, RUNS, kRuns);
  exPlotClose(gp, a);
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "anc.png");
  const int n = (a.smoke ? 6 : 10) * RATE;
  float *x = malloc(n * sizeof *x), *d = malloc(n * sizeof *d), *e[RUNS];
  DT32F primary[NP];
  double att[RUNS];
  ExRng r = {3};
  quolmFir duct;
  int fails = 0;
  if (!x || !d || fir32fInit(&duct, NP, primary) != 0) return 1;
  path(primary, NP, 40, 150, 2.0);
  for (int i = 0; i < n; ++i) { /* the hum, as the reference sensor hears it */
    x[i] = (float)(0.01 * exGauss(&r));
    for (int k = 1; k <= 8; ++k)
      x[i] += (float)(sin(2 * 3.14159265358979 * 50 * k * i / RATE + k) / k);
  }
  fir32fBlockFilter(&duct, x, d, n);
  for (int k = 0; k < RUNS; ++k) {
    if (!(e[k] = malloc(n * sizeof *e[k])) || control(k, x, d, e[k], n))
      return 1;
    att[k] = -exDb(power(e[k] + n - RATE, RATE) / power(d + n - RATE, RATE));
    if (isfinite(att[k]))
      printf("%-30s attenuation %7.1f dB\n", kRuns[k], att[k]);
    else
      printf("%-30s diverged\n", kRuns[k]);
  }
  fails += exCheck("FxLMS attenuation, last second (dB)", att[0], 20, 1);
  fails += exCheck("AdjLMS attenuation, last second (dB)", att[1], 20, 1);
  fails += exCheck("FxLMS, model 6 samples late (dB)", att[3], 0, 0);
  plot(&a, d, e, n);
  for (int k = 0; k < RUNS; ++k) free(e[k]);
  fir32fFree(&duct), free(x), free(d);
  return fails;
}
