// SPDX-License-Identifier: MIT
/* What every example shares: its command line (getopt), a seeded noise
   source, speech-like sound and room responses, decibels and spectra, the
   smoke check of its headline figure, and a pipe to gnuplot for its
   picture. Header only, C99 and C++; popen needs _POSIX_C_SOURCE. */
#ifndef QUOLM_EXAMPLE_H
#define QUOLM_EXAMPLE_H

#include <getopt.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

typedef struct {
  int smoke;       /* --smoke: a short run for the test suite, no picture */
  const char *png; /* --png FILE: where the picture goes */
  int first;       /* index of the first argument that is not an option */
} ExArgs;

static inline int exUsage(const char *program, const char *args) {
  fprintf(stderr, "usage: %s [--smoke] [--png FILE]%s\n", program, args);
  return 2;
}

static inline ExArgs exArgs(int argc, char **argv, const char *png) {
  static const struct option opts[] = {{"smoke", no_argument, 0, 's'},
                                       {"png", required_argument, 0, 'p'},
                                       {0, 0, 0, 0}};
  ExArgs a = {0, png, 0};
  int c;
  while ((c = getopt_long(argc, argv, "", opts, 0)) != -1) {
    if (c == 's')
      a.smoke = 1;
    else if (c == 'p')
      a.png = optarg;
    else
      exit(exUsage(argv[0], ""));
  }
  a.first = optind;
  return a;
}

/* xorshift64*: the same noise on every machine, whatever its rand(). */
typedef struct {
  uint64_t s;
} ExRng;

static inline double exUniform(ExRng *r) { /* in [-1, 1) */
  r->s ^= r->s >> 12, r->s ^= r->s << 25, r->s ^= r->s >> 27;
  return (double)((r->s * 2685821657736338717ull) >> 11) * 0x1p-52 - 1.0;
}

static inline double exGauss(ExRng *r) { /* unit variance (Box-Muller) */
  double u = 0.5 * (exUniform(r) + 1.0) + 0x1p-54, v = exUniform(r);
  return sqrt(-2.0 * log(u)) * cos(3.14159265358979 * v);
}

static inline double exDb(double power) {
  return isnan(power) ? power : 10.0 * log10(fmax(power, 1e-30));
}

/* Prints the headline figure against its limit; 1 when it misses. */
static inline int exCheck(const char *what, double value, double limit,
                          int atLeast) {
  int ok = atLeast ? value >= limit : value <= limit;
  printf("%-44s %9.2f  (%s %g: %s)\n", what, value,
         atLeast ? ">=" : "<=", limit, ok ? "ok" : "FAILED");
  return !ok;
}

/* A gnuplot pipe writing a PNG, or NULL (and a note) when there is no
   gnuplot or no picture is wanted. */
static inline FILE *exPlotOpen(const ExArgs *a, int width, int height) {
  FILE *gp;
  if (a->smoke || !a->png) return NULL;
  if (system("command -v gnuplot >/dev/null 2>&1") != 0 ||
      !(gp = popen("gnuplot", "w"))) {
    printf("gnuplot not found: no picture drawn\n");
    return NULL;
  }
  fprintf(gp, "set terminal pngcairo size %d,%d font ',10'\n", width, height);
  fprintf(gp, "set output '%s'\nset grid\n", a->png);
  return gp;
}

/* Defines the gnuplot data block $c<index> from n points (x[i], y[i]). */
static inline void exPlotSeries(FILE *gp, int index, const double *x,
                                const double *y, int n) {
  fprintf(gp, "$c%d << EOD\n", index);
  for (int i = 0; i < n; ++i) fprintf(gp, "%.9g %.9g\n", x[i], y[i]);
  fprintf(gp, "EOD\n");
}

/* Plots the blocks $c<first> .. $c<first + count - 1> as titled lines. */
static inline void exPlotLines(FILE *gp, int first, int count,
                               const char *const *titles) {
  fprintf(gp, "plot ");
  for (int i = 0; i < count; ++i)
    fprintf(gp, "$c%d with lines lw 2 title '%s'%s", first + i, titles[i],
            i + 1 < count ? ", " : "\n");
}

static inline void exPlotClose(FILE *gp, const ExArgs *a) {
  if (!gp) return;
  if (pclose(gp) == 0)
    printf("picture: %s\n", a->png);
  else
    printf("gnuplot failed: no picture drawn\n");
}

/* Speech-like sound of the given rms: syllables (120-300 ms) of a glottal
   pulse train, pitch 100-160 Hz, through three formant resonators of one of
   four vowels, separated by pauses of 40-400 ms. */
static inline void exSpeech(ExRng *r, float *out, int n, double rate,
                            double rms) {
  static const double vowels[4][3] = {{700, 1200, 2600},
                                      {300, 2300, 3000},
                                      {500, 900, 2400},
                                      {400, 1900, 2600}};
  double a1[3] = {0}, a2[3] = {0}, y1[3] = {0}, y2[3] = {0}, phase = 0,
         pitch = 0;
  double sum = 0;
  int len = 1, left = 0, voiced = 1;
  for (int i = 0; i < n; ++i, --left) {
    if (left <= 0) {
      voiced = !voiced;
      len = left = (int)(rate * (voiced ? 0.21 + 0.09 * exUniform(r)
                                        : 0.22 + 0.18 * exUniform(r)));
      pitch = 130 + 30 * exUniform(r);
      const double *f = vowels[(int)(2 * (exUniform(r) + 1)) & 3];
      for (int k = 0; k < 3; ++k) { /* a pole pair at f[k], bandwidth 100 Hz */
        double radius = exp(-3.14159265358979 * 100 / rate);
        a1[k] = 2 * radius * cos(2 * 3.14159265358979 * f[k] / rate);
        a2[k] = -radius * radius;
      }
    }
    double s = 0;
    if (voiced) {
      phase += pitch / rate;
      if (phase >= 1) phase -= 1, s = 1;
      s = (s + 0.1 * exGauss(r)) * sin(3.14159265358979 * left / len);
    }
    for (int k = 0; k < 3; ++k) {
      double y = s + a1[k] * y1[k] + a2[k] * y2[k];
      y2[k] = y1[k], y1[k] = y, s = y * (1 - a1[k] - a2[k]);
    }
    out[i] = (float)s, sum += s * s;
  }
  for (int i = 0; i < n; ++i) out[i] *= (float)(rms / sqrt(sum / n + 1e-30));
}

/* A room's impulse response: silence for `delay` taps, then noise decaying
   by 60 dB over the rest of the n taps, scaled to the given norm. */
static inline void exRoom(ExRng *r, float *h, int n, int delay, double norm) {
  double sum = 0;
  for (int k = 0; k < n; ++k) {
    double v =
        k < delay ? 0 : exGauss(r) * exp(-6.9 * (k - delay) / (n - delay));
    h[k] = (float)v, sum += v * v;
  }
  for (int k = 0; k < n; ++k) h[k] *= (float)(norm / sqrt(sum));
}

/* Welch spectrum of v[0 .. n-1]: Hann-windowed segments of s samples,
   half overlapping, bins 0 .. s/2 into db (mean power, dB, a unit-amplitude
   sine reading about 0 dB); s a multiple of 4, the sine read from the
   cosine table a quarter turn on. A plain DFT: for pictures only. */
static inline int exWelch(const float *v, int n, int s, double *db) {
  double *c = (double *)malloc(2 * s * sizeof *c), *w = c + s;
  int segs = 0;
  if (!c) return -1;
  for (int i = 0; i < s; ++i)
    c[i] = cos(2 * 3.14159265358979 * i / s), w[i] = 0.5 - 0.5 * c[i];
  for (int f = 0; f <= s / 2; ++f) db[f] = 0;
  for (int at = 0; at + s <= n; at += s / 2, ++segs)
    for (int f = 0; f <= s / 2; ++f) {
      double re = 0, im = 0;
      for (int i = 0, k = 0; i < s; ++i, k = (k + f) % s)
        re += w[i] * v[at + i] * c[k],
            im += w[i] * v[at + i] * c[(k + s / 4 * 3) % s];
      db[f] += (re * re + im * im) * 16 / ((double)s * s);
    }
  for (int f = 0; f <= s / 2; ++f) db[f] = exDb(db[f] / (segs ? segs : 1));
  free(c);
  return 0;
}

#endif
