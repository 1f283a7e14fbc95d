// SPDX-License-Identifier: MIT
/* System identification: seven families learn the same 16-tap system from
   white noise and from AR(1) noise (pole 0.9: a spectrum whose peak is 360
   times its trough), each with a step near the fast end of its stable
   range. Headline: samples NLMS, TDLMS, RLS and the RLS lattice need on the
   coloured input to bring the misalignment |w - h|^2 / |h|^2 below -40 dB. */
#include <quolm32f.h>
#include <quolmffttables32f.h>

#include "example.h"

enum { N = 16, B = 16, M = 32, STEP = 20, FAMILIES = 7 };
enum { LMS, NLMS, TDLMS, BFDAF, LATTICE, RLS, RLSLATTICE };
static const char *const kNames[FAMILIES] = {
    "LMS",         "NLMS", "TDLMS",      "BFDAF, B = 16",
    "LMS lattice", "RLS",  "RLS lattice"};

typedef struct {
  quolmLms lms;
  quolmNlms nlms;
  quolmTdlms tdlms;
  quolmBfdaf bfdaf;
  quolmLmslattice lattice;
  quolmRls rls;
  quolmRlslattice rlsLattice;
  DT32F x[B], d[B]; /* BFDAF's block being gathered */
  DT32S fftWork[2 + M / 2];
  DT32F fftTable[M / 2];
} Models;

/* Steps for an input of the given power (1/(1 - pole^2)). */
static int modelsInit(Models *m, double power) {
  int failed;
  quolmFftTables32f(M, m->fftWork, m->fftTable); /* serves TDLMS (M = 16) too */
  failed = lms32fInit(&m->lms, N, (DT32F)(0.16 / (N * power))) |
           nlms32fInit(&m->nlms, N, 0.5f / N) |
           tdlms32fInit(&m->tdlms, N, 0.01f, m->fftWork, m->fftTable) |
           bfdaf32fInit(&m->bfdaf, N, B, 0.25f * M / (N * B), 1, m->fftWork,
                        m->fftTable) |
           lmslattice32fInit(&m->lattice, N, 0.0002f, 0.5f / N) |
           rls32fInit(&m->rls, N, 0.999f, 1.0f) |
           rlslattice32fInit(&m->rlsLattice, N, 0.999f);
  /* BFDAF's per-bin power estimates start at 1.0; the input gives about
     M/B times its power (docs/choosing.md), so start there. */
  for (int k = 0; !failed && k < m->bfdaf.bins; ++k)
    m->bfdaf.power[k] = (DT32F)(power * M / B);
  return failed;
}

static void modelsUpdate(Models *m, int n, DT32F x, DT32F d) {
  DT32F y[B], e[B];
  lms32fFilterUpdate(&m->lms, x, d);
  nlms32fFilterUpdate(&m->nlms, x, d);
  tdlms32fFilterUpdate(&m->tdlms, x, d);
  m->x[n % B] = x, m->d[n % B] = d;
  if (n % B == B - 1) bfdaf32fFilterUpdate(&m->bfdaf, m->x, m->d, y, e);
  lmslattice32fFilterUpdate(&m->lattice, x, d);
  rls32fFilterUpdate(&m->rls, x, d);
  rlslattice32fFilterUpdate(&m->rlsLattice, x, d);
}

/* The lattices have no transversal coefficients: their output is
   sum c[m] b_m(n), and the order updates F' = F - kf z^-1 B,
   B' = z^-1 B - kb F turn each backward error b_m into a filter of x. */
static void latticeResponse(const DT32F *kf, const DT32F *kb, const DT32F *c,
                            DT32F *h) {
  double F[N + 1] = {1}, Bk[N + 1] = {1}, acc[N] = {0};
  for (int m = 0; m < N; ++m) {
    for (int j = 0; j <= m; ++j) acc[j] += c[m] * Bk[j];
    for (int j = m + 1; j > 0; --j) {
      double f = F[j], b = Bk[j - 1];
      Bk[j] = b - kb[m] * f, F[j] = f - kf[m] * b;
    }
    Bk[0] = -kb[m] * F[0];
  }
  for (int j = 0; j < N; ++j) h[j] = (DT32F)acc[j];
}

/* Misalignment |w - h|^2 / |h|^2 of each family, in dB. */
static void modelsMisalignment(Models *m, const double *h, double *out) {
  DT32F w[FAMILIES][N], kf[N], kb[N], c[N];
  lms32fGetCoef(&m->lms, w[LMS], 0, N, 0);
  nlms32fGetCoef(&m->nlms, w[NLMS], 0, N, 0);
  tdlms32fGetCoef(&m->tdlms, w[TDLMS], 0, N, 0);
  bfdaf32fGetCoef(&m->bfdaf, w[BFDAF], 0, N, 0);
  rls32fGetCoef(&m->rls, w[RLS], 0, N, 0);
  lmslattice32fGetParcor(&m->lattice, kf, 0, N, 0); /* one k per stage */
  lmslattice32fGetCoef(&m->lattice, c, 0, N, 0);
  latticeResponse(kf, kf, c, w[LATTICE]);
  rlslattice32fGetForwardParcors(&m->rlsLattice, kf, 0, N, 0);
  rlslattice32fGetBackwardParcors(&m->rlsLattice, kb, 0, N, 0);
  rlslattice32fGetCoef(&m->rlsLattice, c, 0, N, 0);
  latticeResponse(kf, kb, c, w[RLSLATTICE]);
  for (int f = 0; f < FAMILIES; ++f) {
    double e = 0, p = 0;
    for (int j = 0; j < N; ++j)
      e += (w[f][j] - h[j]) * (w[f][j] - h[j]), p += h[j] * h[j];
    out[f] = exDb(e / p);
  }
}

static void modelsFree(Models *m) {
  lms32fFree(&m->lms), nlms32fFree(&m->nlms), tdlms32fFree(&m->tdlms);
  bfdaf32fFree(&m->bfdaf), lmslattice32fFree(&m->lattice);
  rls32fFree(&m->rls), rlslattice32fFree(&m->rlsLattice);
}

static void plot(const ExArgs *a, double (*curves)[FAMILIES], int points) {
  FILE *gp = exPlotOpen(a, 900, 480);
  double t[points], y[points];
  if (!gp) return;
  for (int f = 0; f < FAMILIES; ++f) {
    for (int i = 0; i < points; ++i) t[i] = (i + 1) * STEP, y[i] = curves[i][f];
    exPlotSeries(gp, f, t, y, points);
  }
  fprintf(gp,
          "set title 'Identifying a 16-tap system from AR(1) noise'\n"
          "set logscale x\nset autoscale xfix\nset xlabel 'sample'\n"
          "set ylabel 'misalignment (dB)'\n");
  exPlotLines(gp, 0, FAMILIES, kNames);
  exPlotClose(gp, a);
}

/* Identifies the system from AR(1) noise with the given pole: the
   misalignment every STEP samples into curves, and the first sample at
   which each family is 40 dB down into reach. */
static int identify(double pole, int samples, double (*curves)[FAMILIES],
                    int *reach) {
  double h[N], hist[N] = {0}, x = 0;
  ExRng r = {42};
  Models m;
  if (modelsInit(&m, 1 / (1 - pole * pole)) != 0) return -1;
  for (int j = 0; j < N; ++j) h[j] = exGauss(&r) * exp(-0.2 * j);
  for (int f = 0; f < FAMILIES; ++f) reach[f] = samples;
  for (int n = 0; n < samples; ++n) {
    double d = 1e-3 * exGauss(&r); /* a noise floor 70 dB below d */
    x = pole * x + exGauss(&r);
    for (int j = N - 1; j > 0; --j) hist[j] = hist[j - 1];
    hist[0] = x;
    for (int j = 0; j < N; ++j) d += h[j] * hist[j];
    modelsUpdate(&m, n, (DT32F)x, (DT32F)d);
    if ((n + 1) % STEP) continue;
    modelsMisalignment(&m, h, curves[n / STEP]);
    for (int f = 0; f < FAMILIES; ++f)
      if (curves[n / STEP][f] < -40 && reach[f] == samples) reach[f] = n + 1;
  }
  modelsFree(&m);
  return 0;
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "sysid.png");
  const int samples = a.smoke ? 6000 : 20000, points = samples / STEP;
  double(*curves)[FAMILIES] = calloc(points, sizeof *curves);
  int white[FAMILIES], reach[FAMILIES], fails = 0;
  if (!curves || identify(0, samples, curves, white) ||
      identify(0.9, samples, curves, reach))
    return 1;
  printf("samples to -40 dB:       white  coloured  (final, coloured)\n");
  for (int f = 0; f < FAMILIES; ++f)
    printf("%-22s %7d  %8d  (%.1f dB)\n", kNames[f], white[f], reach[f],
           curves[points - 1][f]);
  fails += exCheck("RLS speed-up over NLMS to -40 dB (times)",
                   (double)reach[NLMS] / reach[RLS], 4, 1);
  fails += exCheck("RLS lattice speed-up over NLMS (times)",
                   (double)reach[NLMS] / reach[RLSLATTICE], 4, 1);
  fails += exCheck("TDLMS speed-up over NLMS to -40 dB (times)",
                   (double)reach[NLMS] / reach[TDLMS], 1.5, 1);
  plot(&a, curves, points);
  free(curves);
  return fails;
}
