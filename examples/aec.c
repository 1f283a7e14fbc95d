// SPDX-License-Identifier: MIT
/* Acoustic echo cancellation with a PBFDAF of 2048 taps (16 partitions of
   128, blocks of 128 samples: 8 ms latency at 16 kHz). Without file names a
   speech-like far end plays through a synthetic room; headline: the echo
   return loss enhancement (ERLE) over the last two seconds.
   With names, `example_aec far.wav mic.wav out.wav` cancels the echo of
   far.wav in mic.wav (mono, same rate) and writes the residual; that part
   is built when libsndfile is found. */
#include <quolm32f.h>
#include <quolmffttables32f.h>
#include <string.h>
#ifdef QUOLM_EXAMPLE_SNDFILE
#include <sndfile.h>
#endif

#include "example.h"

enum { RATE = 16000, L = 128, B = 128, P = 16, M = 256, TAPS = P * L };
/* The step normalised to the filter's size is mu*P*L*B/M. White noise
   tolerates about 1; speech-like input converges fastest near 0.25 and
   diverges at 1 (docs/choosing.md). */
static const float kMu = 0.25f / ((float)P * L * B / M);
static const double kLevel = 0.1; /* expected far-end rms, -20 dBFS */

typedef struct {
  quolmPbfdaf f;
  DT32S fftWork[2 + M / 2];
  DT32F fftTable[M / 2];
} Canceller;

/* The power estimates start at 1.0; set them to what a far end of rms
   kLevel gives (|X|^2 / B = M/B * rms^2 per bin) so that the first second
   adapts at full speed. */
static int cancellerInit(Canceller *c) {
  quolmFftTables32f(M, c->fftWork, c->fftTable);
  if (pbfdaf32fInit(&c->f, L, B, P, kMu, 1, c->fftWork, c->fftTable) != 0)
    return -1;
  for (int k = 0; k < c->f.bins; ++k)
    c->f.power[k] = (DT32F)((double)M / B * kLevel * kLevel);
  return 0;
}

/* Cancels far's echo in mic block by block into out; n a multiple of B. */
static void cancel(Canceller *c, float *far, float *mic, float *out, int n) {
  DT32F y[B];
  for (int i = 0; i + B <= n; i += B)
    pbfdaf32fFilterUpdate(&c->f, far + i, mic + i, y, out + i);
}

static double erle(const float *mic, const float *out, int from, int to) {
  double pm = 0, pe = 0;
  for (int i = from; i < to; ++i) pm += mic[i] * mic[i], pe += out[i] * out[i];
  return exDb(pm / pe);
}

#ifdef QUOLM_EXAMPLE_SNDFILE
/* Block by block through the files; the far end is padded with zeros if it
   ends first. Returns the ERLE over the whole file. */
static double cancelFiles(Canceller *c, SNDFILE *far, SNDFILE *mic,
                          SNDFILE *out) {
  float x[B], d[B], e[B];
  double pm = 0, pe = 0;
  sf_count_t got;
  while ((got = sf_readf_float(mic, d, B)) > 0) {
    memset(x, 0, sizeof x);
    sf_readf_float(far, x, got);
    for (sf_count_t i = got; i < B; ++i) d[i] = 0;
    cancel(c, x, d, e, B);
    for (sf_count_t i = 0; i < got; ++i) pm += d[i] * d[i], pe += e[i] * e[i];
    sf_writef_float(out, e, got);
  }
  return exDb(pm / pe);
}

static int fromFiles(char **names) {
  SF_INFO in[3] = {{0}};
  SNDFILE *f[3] = {sf_open(names[0], SFM_READ, &in[0]),
                   sf_open(names[1], SFM_READ, &in[1]), 0};
  Canceller c;
  int status = 1;
  if (!f[0] || !f[1])
    fprintf(stderr, "%s\n", sf_strerror(0));
  else if (in[0].channels != 1 || in[1].channels != 1 ||
           in[0].samplerate != in[1].samplerate)
    fprintf(stderr, "need two mono files of one sampling rate\n");
  else if (in[2] = in[1], !(f[2] = sf_open(names[2], SFM_WRITE, &in[2])))
    fprintf(stderr, "%s: %s\n", names[2], sf_strerror(0));
  else if (cancellerInit(&c) == 0) {
    printf("ERLE over the file: %.1f dB -> %s\n",
           cancelFiles(&c, f[0], f[1], f[2]), names[2]);
    pbfdaf32fFree(&c.f);
    status = 0;
  }
  for (int i = 0; i < 3; ++i)
    if (f[i]) sf_close(f[i]);
  return status;
}
#else
static int fromFiles(char **names) {
  fprintf(stderr, "%s...: built without libsndfile, no WAV files\n", names[0]);
  return 2;
}
#endif

static void plot(const ExArgs *a, const float *mic, const float *out, int n) {
  enum { WIN = RATE / 10 };
  FILE *gp = exPlotOpen(a, 800, 400);
  int points = n / WIN;
  double t[points], v[points], level = 0;
  if (!gp) return;
  for (int i = 0; i < n; ++i) level += mic[i] * mic[i];
  for (int w = 0; w < points; ++w) { /* windows of far-end pause: no point */
    double pm = 0;
    for (int i = w * WIN; i < (w + 1) * WIN; ++i) pm += mic[i] * mic[i];
    t[w] = (w + 0.5) * WIN / (double)RATE;
    v[w] = pm / WIN > 0.1 * level / n ? erle(mic, out, w * WIN, (w + 1) * WIN)
                                      : NAN;
  }
  exPlotSeries(gp, 0, t, v, points);
  fprintf(gp,
          "set title 'Echo cancellation, PBFDAF 2048 taps at 16 kHz (ERLE per "
          "100 ms)'\n"
          "set xlabel 'time (s)'\nset ylabel 'ERLE (dB)'\nset yrange [0:*]\n"
          "plot $c0 with linespoints pt 7 ps 0.5 lw 2 title 'ERLE'\n");
  exPlotClose(gp, a);
}

int main(int argc, char **argv) {
  ExArgs a = exArgs(argc, argv, "aec.png");
  if (argc - a.first == 3) return fromFiles(argv + a.first);
  if (argc != a.first) return exUsage(argv[0], " [far.wav mic.wav out.wav]");
  const int n = (a.smoke ? 6 : 20) * RATE;
  float *far = malloc(n * sizeof *far), *mic = malloc(n * sizeof *mic),
        *out = malloc(n * sizeof *out), room[TAPS];
  ExRng r = {7};
  quolmFir echo;
  Canceller c;
  if (!far || !mic || !out || fir32fInit(&echo, TAPS, room) != 0 ||
      cancellerInit(&c) != 0)
    return 1;
  exSpeech(&r, far, n, RATE, kLevel);
  exRoom(&r, room, TAPS, 40, 0.5); /* direct path after 2.5 ms, -6 dB */
  fir32fBlockFilter(&echo, far, mic, n);
  for (int i = 0; i < n; ++i)
    mic[i] += (float)(1e-4 * exGauss(&r)); /* -60 dB noise */
  cancel(&c, far, mic, out, n);
  double last = erle(mic, out, n - 2 * RATE, n);
  int fails = exCheck("ERLE over the last two seconds (dB)", last, 20, 1);
  plot(&a, mic, out, n);
  pbfdaf32fFree(&c.f), fir32fFree(&echo);
  free(far), free(mic), free(out);
  return fails;
}
