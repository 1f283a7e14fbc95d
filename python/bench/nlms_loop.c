/* SPDX-License-Identifier: MIT */
/* The yardstick of bench_nlms.py: NLMS over a whole signal written in C as a
   loop over the per-sample calls, storing output and error like
   quolm.Nlms.filter_update. Prints the best time of RUNS runs in seconds.
   Usage: nlms_loop SAMPLES TAPS RUNS */
#define _POSIX_C_SOURCE 199309L /* clock_gettime under -std=c99 */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <quolm32f.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + 1e-9 * (double)t.tv_nsec;
}

int main(int argc, char **argv) {
  const long n = argc > 1 ? atol(argv[1]) : 1000000;
  const int taps = argc > 2 ? atoi(argv[2]) : 32;
  const int runs = argc > 3 ? atoi(argv[3]) : 5;
  float *x = malloc(sizeof(float) * (size_t)n), *d = malloc(sizeof(float) * (size_t)n);
  float *y = malloc(sizeof(float) * (size_t)n), *e = malloc(sizeof(float) * (size_t)n);
  unsigned state = 1;
  double best = 1e30;
  if (!x || !d || !y || !e || n < 2) return 1;
  for (long i = 0; i < n; ++i) { /* uniform noise and a two-tap system */
    state = state * 1664525u + 1013904223u;
    x[i] = (float)(state >> 8) / 16777216.0f - 0.5f;
    d[i] = 0.5f * x[i] + (i > 0 ? 0.25f * x[i - 1] : 0.0f);
  }
  for (int run = 0; run < runs; ++run) {
    quolmNlms f;
    double start;
    if (nlms32fInit(&f, taps, 0.01f) != 0) return 1;
    start = now();
    for (long i = 0; i < n; ++i) {
      y[i] = nlms32fFilterUpdate(&f, x[i], d[i]);
      e[i] = f.err;
    }
    if (now() - start < best) best = now() - start;
    nlms32fFree(&f);
  }
  printf("%.6f %g\n", best, (double)e[n - 1]); /* the error keeps the loop alive */
  free(x), free(d), free(y), free(e);
  return 0;
}
