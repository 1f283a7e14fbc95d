// SPDX-License-Identifier: MIT
/* System identification on coloured input: NLMS, TDLMS, RLS and the RLS
   lattice learn the same 16-tap system from AR(1) noise (pole 0.9, an
   eigenvalue spread of about 360). Headline: samples each needs to bring
   the misalignment |w - h|^2 / |h|^2 below -40 dB. */
#include "example.h"

#include <quolm32f.h>
#include <quolmffttables32f.h>

enum { N = 16, FAMILIES = 4, STEP = 20 };
static const char *const kNames[FAMILIES] = {"NLMS", "TDLMS", "RLS",
                                             "RLS lattice"};

/* The RLS lattice has no transversal coefficients; its output is
   sum c[m] b_m(n), and the order updates F' = F - kf z^-1 B,
   B' = z^-1 B - kb F turn each backward error b_m into a filter of x. */
static void latticeResponse(quolmRlslattice *f, DT32F *h) {
  DT32F kf[N], kb[N], c[N];
  double F[N + 1] = {1}, B[N + 1] = {1}, t[N + 1], acc[N] = {0};
  rlslattice32fGetForwardParcors(f, kf, 0, N, 0);
  rlslattice32fGetBackwardParcors(f, kb, 0, N, 0);
  rlslattice32fGetCoef(f, c, 0, N, 0);
  for (int m = 0; m < N; ++m) {
    for (int j = 0; j <= m; ++j) acc[j] += c[m] * B[j];
    for (int j = m + 1; j > 0; --j) t[j] = B[j - 1] - kb[m] * F[j];
    t[0] = -kb[m] * F[0];
    for (int j = m + 1; j > 0; --j) F[j] -= kf[m] * B[j - 1];
    for (int j = 0; j <= m + 1; ++j) B[j] = t[j];
  }
  for (int j = 0; j < N; ++j) h[j] = (DT32F)acc[j];
}

static double misalignment(const DT32F *w, const double *h) {
  double e = 0, p = 0;
  for (int j = 0; j < N; ++j) e += (w[j] - h[j]) * (w[j] - h[j]), p += h[j] * h[j];
  return exDb(e / p);
}

typedef struct {
  quolmNlms nlms;
  quolmTdlms tdlms;
  quolmRls rls;
  quolmRlslattice lattice;
  DT32S fftWork[2 + N / 2];
  DT32F fftTable[N / 2];
} Models;

static int modelsInit(Models *m) {
  quolmFftTables32f(N, m->fftWork, m->fftTable);
  return nlms32fInit(&m->nlms, N, 0.03f) | rls32fInit(&m->rls, N, 0.999f, 1.0f) |
         tdlms32fInit(&m->tdlms, N, 0.01f, m->fftWork, m->fftTable) |
         rlslattice32fInit(&m->lattice, N, 0.999f);
}

static void modelsUpdate(Models *m, DT32F x, DT32F d) {
  nlms32fFilterUpdate(&m->nlms, x, d);
  tdlms32fFilterUpdate(&m->tdlms, x, d);
  rls32fFilterUpdate(&m->rls, x, d);
  rlslattice32fFilterUpdate(&m->lattice, x, d);
}

static void modelsMisalignment(Models *m, const double *h, double *out) {
  DT32F w[N];
  nlms32fGetCoef(&m->nlms, w, 0, N, 0);
  out[0] = misalignment(w, h);
  tdlms32fGetCoef(&m->tdlms, w, 0, N, 0);
  out[1] = misalignment(w, h);
  rls32fGetCoef(&m->rls, w, 0, N, 0);
  out[2] = misalignment(w, h);
  latticeResponse(&m->lattice, w);
  out[3] = misalignment(w, h);
}

static void modelsFree(Models *m) {
  nlms32fFree(&m->nlms), tdlms32fFree(&m->tdlms);
  rls32fFree(&m->rls), rlslattice32fFree(&m->lattice);
}

static void plot(const ExArgs *a, double curves[][FAMILIES], int points) {
  FILE *gp = exPlotOpen(a, 800, 450);
  double t[points], y[points];
  char name[8];
  if (!gp) return;
  for (int f = 0; f < FAMILIES; ++f) {
    for (int i = 0; i < points; ++i) t[i] = i * STEP, y[i] = curves[i][f];
    snprintf(name, sizeof name, "f%d", f);
    exPlotData(gp, name, t, y, points);
  }
  fprintf(gp, "set title 'Identifying a 16-tap system from AR(1) noise (pole 0.9)'\n"
              "set xlabel 'sample'\nset ylabel 'misalignment (dB)'\nplot ");
  for (int f = 0; f < FAMILIES; ++f)
    fprintf(gp, "$f%d with lines lw 2 title '%s'%s", f, kNames[f],
            f + 1 < FAMILIES ? ", " : "\n");
  exPlotClose(gp, a);
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "sysid.png");
  const int samples = a.smoke ? 8000 : 20000, points = samples / STEP;
  double h[N], hist[N] = {0}, (*curves)[FAMILIES] = calloc(points, sizeof *curves);
  int reach[FAMILIES], fails = 0;
  ExRng r = {42};
  Models m;
  if (!curves || modelsInit(&m) != 0) return 1;
  for (int j = 0; j < N; ++j) h[j] = exGauss(&r) * exp(-0.2 * j);
  for (int f = 0; f < FAMILIES; ++f) reach[f] = samples;
  double colour = 0;
  for (int n = 0; n < samples; ++n) {
    colour = 0.9 * colour + exGauss(&r);
    double d = 1e-3 * exGauss(&r); /* a -60 dB noise floor */
    for (int j = N - 1; j > 0; --j) hist[j] = hist[j - 1];
    hist[0] = colour;
    for (int j = 0; j < N; ++j) d += h[j] * hist[j];
    modelsUpdate(&m, (DT32F)colour, (DT32F)d);
    if ((n + 1) % STEP) continue;
    modelsMisalignment(&m, h, curves[n / STEP]);
    for (int f = 0; f < FAMILIES; ++f)
      if (curves[n / STEP][f] < -40 && reach[f] == samples) reach[f] = n + 1;
  }
  for (int f = 0; f < FAMILIES; ++f)
    printf("%-12s -40 dB after %6d samples, final %6.1f dB\n", kNames[f],
           reach[f], curves[points - 1][f]);
  fails += exCheck("RLS speed-up over NLMS to -40 dB (times)",
                   (double)reach[0] / reach[2], 5, 1);
  fails += exCheck("TDLMS speed-up over NLMS to -40 dB (times)",
                   (double)reach[0] / reach[1], 1.5, 1);
  fails += exCheck("RLS lattice final misalignment (dB)", curves[points - 1][3], -40, 0);
  plot(&a, curves, points);
  modelsFree(&m);
  free(curves);
  return fails;
}
