// SPDX-License-Identifier: MIT
/* Linear prediction with the lattice predictors, two jobs.
   Line enhancement: two tones buried in white noise (-9 dB each); a
   predictor of order 32 can forecast the tones but not the noise, so its
   prediction is the tones cleaned up. Whitening: an AR(4) process with two
   sharp resonances; the forward prediction error is the white innovation.
   Headlines: the SNR gained by the gradient lattice (lfpef) and by the
   least-squares lattice (rlslfpef), and how close each comes to the AR
   process's prediction gain. */
#include <quolm32f.h>

#include "example.h"

enum { N = 32, S = 256 };

/* Forward predictions (what = 0) or errors (what = 1) of x, of power
   `level`, by lfpef (rls = 0) or rlslfpef (rls = 1). */
static int predict(int rls, int what, const float *x, float *out, int n,
                   double level) {
  quolmLfpef g;
  quolmRlslfpef r;
  if (rls ? rlslfpef32fInit(&r, N, 0.999f) : lfpef32fInit(&g, N, 0.001f))
    return -1;
  if (rls) { /* the start powers 0.001 regularise the first N samples: far
                below the input's power, single precision can break down */
    r.updateCoefs = 0;
    for (int m = 0; m < N; ++m) r.fwdPower[m] = r.bwdPower[m] = (DT32F)level;
  } else {
    g.updateCoefs = 0; /* errors only: no O(N^2) step-up */
  }
  for (int i = 0; i < n; ++i) {
    DT32F y = rls ? rlslfpef32fFilterUpdate(&r, x[i])
                  : lfpef32fFilterUpdate(&g, x[i]);
    out[i] = what ? x[i] - y : y;
  }
  if (rls)
    rlslfpef32fFree(&r);
  else
    lfpef32fFree(&g);
  return 0;
}

static double power(const float *a, const float *b, int n) { /* of a - b */
  double p = 0;
  for (int i = 0; i < n; ++i)
    p += (a[i] - (b ? b[i] : 0)) * (double)(a[i] - (b ? b[i] : 0));
  return p / n;
}

/* Welch spectra of the second halves of v[0..2], as blocks first.. */
static void plotPanel(FILE *gp, int first, const char *title,
                      const char *const names[3], const float *v[3], int n) {
  double f[S / 2 + 1], db[S / 2 + 1];
  for (int k = 0; k <= S / 2; ++k) f[k] = (double)k / S;
  for (int c = 0; c < 3; ++c)
    exWelch(v[c] + n / 2, n / 2, S, db),
        exPlotSeries(gp, first + c, f, db, S / 2 + 1);
  fprintf(gp, "set title '%s'\n", title);
  exPlotLines(gp, first, 3, names);
}

/* Tones s at 0.05 and 0.13 of the rate (-9 dB each), x = s + unit noise. */
static void makeTones(ExRng *r, float *s, float *x, int n) {
  for (int i = 0; i < n; ++i)
    s[i] = (float)(0.5 * sin(0.1 * 3.14159265358979 * i) +
                   0.5 * sin(0.26 * 3.14159265358979 * i + 1)),
    x[i] = s[i] + (float)exGauss(r);
}

/* AR(4): poles 0.98 at 0.1*pi and 0.95 at 0.35*pi, unit innovation. */
static void makeAr4(ExRng *r, float *v, int n) {
  const double p1 = 2 * 0.98 * cos(0.1 * 3.14159265358979),
               p2 = 2 * 0.95 * cos(0.35 * 3.14159265358979);
  const double c[4] = {p1 + p2, -(0.98 * 0.98 + 0.95 * 0.95 + p1 * p2),
                       p1 * 0.95 * 0.95 + p2 * 0.98 * 0.98,
                       -0.98 * 0.98 * 0.95 * 0.95};
  for (int i = 0; i < n; ++i) {
    double y = exGauss(r);
    for (int k = 0; k < 4 && k < i; ++k) y += c[k] * v[i - 1 - k];
    v[i] = (float)y;
  }
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "predict.png");
  const int n = a.smoke ? 20000 : 60000, h = n / 2;
  float *x = malloc(n * sizeof *x), *s = malloc(n * sizeof *s),
        *v = malloc(n * sizeof *v),
        *out[2] = {malloc(n * sizeof(float)), malloc(n * sizeof(float))};
  double gain[2], bound = 0, gained[2];
  ExRng r = {5};
  int fails = 0;
  if (!x || !s || !v || !out[0] || !out[1]) return 1;
  makeTones(&r, s, x, n);
  for (int k = 0; k < 2; ++k) {
    if (predict(k, 0, x, out[k], n, power(x, 0, n))) return 1;
    gained[k] = exDb(power(x + h, s + h, h) / power(out[k] + h, s + h, h));
  }
  FILE *gp = exPlotOpen(&a, 1100, 420);
  if (gp) {
    const char *const names[3] = {"tones in noise", "lfpef prediction",
                                  "rlslfpef prediction"};
    const float *vs[3] = {x, out[0], out[1]};
    fprintf(gp,
            "set multiplot layout 1,2\nset xlabel 'frequency / sampling "
            "rate'\nset ylabel 'dB'\n");
    plotPanel(gp, 0, "Line enhancement, order 32", names, vs, n);
  }
  makeAr4(&r, v, n);
  bound = exDb(power(v + h, 0, h)); /* innovation power 1 */
  for (int k = 0; k < 2; ++k) {
    if (predict(k, 1, v, out[k], n, power(v, 0, n))) return 1;
    gain[k] = exDb(power(v + h, 0, h) / power(out[k] + h, 0, h));
  }
  if (gp) {
    const char *const names[3] = {"AR(4) process", "lfpef error",
                                  "rlslfpef error"};
    const float *vs[3] = {v, out[0], out[1]};
    plotPanel(gp, 3, "Whitening, order 32", names, vs, n);
    exPlotClose(gp, &a);
  }
  printf("prediction gain bound of the AR(4) process: %.1f dB\n", bound);
  fails += exCheck("line enhancement SNR gain, lfpef (dB)", gained[0], 6, 1);
  fails += exCheck("line enhancement SNR gain, rlslfpef (dB)", gained[1], 6, 1);
  fails += exCheck("whitening shortfall from the bound, lfpef (dB)",
                   bound - gain[0], 1, 0);
  fails += exCheck("whitening shortfall from the bound, rlslfpef (dB)",
                   bound - gain[1], 1, 0);
  free(x), free(s), free(v), free(out[0]), free(out[1]);
  return fails;
}
