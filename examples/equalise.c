// SPDX-License-Identifier: MIT
/* Channel equalisation: BPSK symbols through a raised-cosine channel
   h = 0.5 (1 + cos(2 pi (n - 2) / W)), n = 1..3, plus noise at -30 dB; an
   11-tap equaliser trained on the symbols delayed by 7. The wider W, the
   more the channel smears the symbols and the larger the eigenvalue spread
   of the equaliser's input (about 6 at W = 2.9, 46 at W = 3.5). LMS slows
   down with the spread, RLS does not. Headline: symbols each needs before
   its symbol error rate, averaged over independent runs, stays below 1%. */
#include <quolm32f.h>

#include "example.h"

enum { N = 11, DELAY = 7, SYMBOLS = 600, WIN = 10, CASES = 4 };
static const double kW[2] = {2.9, 3.5};

/* Symbol error rate per window of WIN symbols, summed over `runs` runs. */
static int trial(int rls, double w, int runs, double *ser) {
  ExRng r = {99};
  double h[3];
  for (int n = 1; n <= 3; ++n)
    h[n - 1] = 0.5 * (1 + cos(2 * 3.14159265358979 * (n - 2) / w));
  for (int i = 0; i < SYMBOLS / WIN; ++i) ser[i] = 0;
  for (int run = 0; run < runs; ++run) {
    quolmLms lms;
    quolmRls ls;
    double a[SYMBOLS];
    if (rls ? rls32fInit(&ls, N, 0.999f, 1.0f) : lms32fInit(&lms, N, 0.075f))
      return -1;
    for (int n = 0; n < SYMBOLS; ++n) {
      a[n] = exUniform(&r) < 0 ? -1 : 1;
      double x = 0.03 * exGauss(&r);
      for (int k = 0; k < 3 && k <= n; ++k) x += h[k] * a[n - k];
      double want = n >= DELAY ? a[n - DELAY] : 0;
      double y = rls ? rls32fFilterUpdate(&ls, (DT32F)x, (DT32F)want)
                     : lms32fFilterUpdate(&lms, (DT32F)x, (DT32F)want);
      if (n >= DELAY && (y < 0) != (want < 0))
        ser[n / WIN] += 1.0 / (WIN * runs);
    }
    if (rls)
      rls32fFree(&ls);
    else
      lms32fFree(&lms);
  }
  return 0;
}

/* First symbol from which every window stays below 1%. */
static int settled(const double *ser) {
  int at = SYMBOLS;
  for (int i = SYMBOLS / WIN - 1; i >= 0 && ser[i] < 0.01; --i) at = i * WIN;
  return at;
}

static void plot(const ExArgs *a, double ser[CASES][SYMBOLS / WIN],
                 const char *const names[CASES]) {
  FILE *gp = exPlotOpen(a, 800, 420);
  double t[SYMBOLS / WIN];
  if (!gp) return;
  for (int i = 0; i < SYMBOLS / WIN; ++i) t[i] = (i + 0.5) * WIN;
  for (int c = 0; c < CASES; ++c) {
    for (int i = 0; i < SYMBOLS / WIN; ++i) ser[c][i] = fmax(ser[c][i], 1e-4);
    exPlotSeries(gp, c, t, ser[c], SYMBOLS / WIN);
  }
  fprintf(gp,
          "set title 'Equalising a raised-cosine channel'\nset logscale y\n"
          "set yrange [1e-4:1]\nset xlabel 'symbol'\n"
          "set ylabel 'symbol error rate'\n");
  exPlotLines(gp, 0, CASES, names);
  exPlotClose(gp, a);
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "equalise.png");
  const int runs = a.smoke ? 100 : 400;
  static double ser[CASES][SYMBOLS / WIN];
  static const char *const names[CASES] = {"LMS, W = 2.9", "LMS, W = 3.5",
                                           "RLS, W = 2.9", "RLS, W = 3.5"};
  int at[CASES], fails = 0;
  for (int c = 0; c < CASES; ++c) {
    if (trial(c / 2, kW[c % 2], runs, ser[c])) return 1;
    at[c] = settled(ser[c]);
    printf("%-14s SER below 1%% from symbol %d\n", names[c], at[c]);
  }
  fails += exCheck("LMS slow-down from W = 2.9 to 3.5 (times)",
                   (double)at[1] / at[0], 2, 1);
  fails += exCheck("RLS symbols to 1% SER at W = 3.5", at[3], 60, 0);
  fails += exCheck("LMS symbols to 1% SER at W = 3.5", at[1], SYMBOLS - 100, 0);
  plot(&a, ser, names);
  return fails;
}
