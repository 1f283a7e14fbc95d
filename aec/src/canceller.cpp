// SPDX-License-Identifier: MIT
// Frame processing of the echo canceller (see canceller.h). Per frame:
//   1. non-finite samples become 0; the far end counts as active while its
//      frame energy is within 50 dB of its slowly decaying peak;
//   2. the foreground filters the far end (FilterOnly): e_f = d - y_f;
//   3. StepControl turns the frame's energies into a step; the background
//      adapts with it (FilterUpdate after writing the record's mu), or only
//      filters while the step is 0, its power estimate held;
//   4. TwoPath compares both a-priori errors; coefficient spectra are copied
//      between the records (same sizes, so a plain copy, no transform); the
//      output is the smaller of the two errors (the background's is often
//      smaller while it converges, before the switch is sure of it);
//   5. a filter pair whose output holds far more power than the microphone
//      for several frames is restarted; a non-finite output (input so large
//      that the transforms overflow) restarts everything, as Reset does, and
//      the frame passes the microphone through.
// The background's per-bin power estimate is set from the signal: it starts
// at 0, follows a rise of the block's power at once (the library's smoothing
// alone would lag, and an underestimated power is an oversized step) and has
// a floor relative to its mean over bins, so that bins the far end barely
// excites (tones, band-limited sources) take small steps.
#include "canceller.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

#include "proportionate.h"
#include "quolmffttables32f.h"

namespace quolmaec {

namespace {

constexpr double kFarGate = 1e-5;       // active far end: -50 dB of its peak
constexpr double kSilence = 1e-20;      // per-sample power of silence
constexpr double kPeakHalfLife = 2.0;   // seconds for the far-end peak
constexpr double kPowerFloor = 1e-4;    // per-bin power floor / mean power
// Frames between updates that keep every partition at B taps (two
// transforms per partition, most of the cost): M / B, at least 2, so that
// frames whose transform is more than twice their length (not a power of
// two) keep about the same cost per sample. The unconstrained updates in
// between cost half as much and are the ones shareUpdate can rescale.
DT32S constrainEvery(const Geometry &g) { return std::max(2, g.M / g.B); }
// Partitions beyond which the step is divided among them (see muOf).
constexpr DT32S kPartitions = 16;
constexpr double kDivergeRatio = 4.0;   // output over microphone energy
constexpr DT32S kDivergeFrames = 3;     // ... for this many frames: restart
constexpr double kMonitorGain = 0.05;   // smoothing of the ERLE figure
constexpr double kDoubleTalkRatio = 8;  // output over residual echo estimate
constexpr DT32S kClipRun = 3;           // equal samples at the peak: clipped

double energy(const DT32F *v, DT32S n) {
  double s = 0;
  for (DT32S i = 0; i < n; ++i) s += double(v[i]) * v[i];
  return s;
}

DT32S sanitize(const DT32F *in, DT32F *out, DT32S n) {
  DT32S bad = 0;
  for (DT32S i = 0; i < n; ++i) {
    const bool ok = isfinite(in[i]);
    out[i] = ok ? in[i] : DT32F(0);
    bad += !ok;
  }
  return bad;
}

// A clipped frame holds a run of equal samples at its peak magnitude.
bool clipped(const DT32F *d, DT32S n) {
  DT32F peak = 0;
  for (DT32S i = 0; i < n; ++i) peak = std::max(peak, DT32F(fabsf(d[i])));
  if (peak == 0) return false;
  DT32S run = 0;
  for (DT32S i = 0; i < n; ++i) {
    run = fabsf(d[i]) == peak ? run + 1 : 0;
    if (run >= kClipRun) return true;
  }
  return false;
}

// e = d - y and the energies of y, e and their product.
void errorOf(const DT32F *d, const DT32F *y, DT32F *e, DT32S n,
             FrameEnergy *f) {
  double yy = 0, ee = 0, ey = 0;
  for (DT32S i = 0; i < n; ++i) {
    e[i] = d[i] - y[i];
    yy += double(y[i]) * y[i];
    ee += double(e[i]) * e[i];
    ey += double(e[i]) * y[i];
  }
  f->yy = yy, f->ee = ee, f->ey = ey;
}

// Packed spectrum (DC, Nyquist, then bin k at 2k, 2k+1) to |X_k|^2.
double binPower(const DT32F *X, DT32S k, DT32S bins) {
  if (k == 0) return double(X[0]) * X[0];
  if (k == bins - 1) return double(X[1]) * X[1];
  return double(X[2 * k]) * X[2 * k] + double(X[2 * k + 1]) * X[2 * k + 1];
}

// Before an update: the background's power estimate at least this block's
// steady-state value |X_k|^2 / B, and at least the floor.
void preparePower(quolmAec *a, const DT32F *X) {
  DT32F *p = a->bg.power;
  const DT32S bins = a->bg.bins;
  double sum = 0;
  for (DT32S k = 0; k < bins; ++k) {
    p[k] = DT32F(std::max(double(p[k]), binPower(X, k, bins) / a->g.B));
    sum += p[k];
  }
  const DT32F floor = DT32F(kPowerFloor * sum / bins);
  for (DT32S k = 0; k < bins; ++k) p[k] = std::max(p[k], floor);
}

// The record's mu for a normalised step s: s / B, times M / 2B, divided by
// P / kPartitions beyond kPartitions partitions. The library normalises by
// the power of an M-sample window per block sample (M / B times the signal
// power, 2 when B is a power of two); each of the P partitions takes the
// step in full, so with many partitions their sum grows with P. Calibrated
// on speech: the edge of stability stays near s = 0.5 for 1 to 64
// partitions and any frame size.
double muOf(const Geometry &g, double s) {
  const double spread = std::min(1.0, double(kPartitions) / g.P);
  return s / g.B * (double(g.M) / (2.0 * g.B)) * spread;
}

void adaptBackground(quolmAec *a, double step, const DT32F *X) {
  quolmPbfdaf *bg = &a->bg;
  if (step > 0) {
    preparePower(a, X);
    bg->mu = DT32F(muOf(a->g, step));
    bg->constrain = ++a->constrainCount % constrainEvery(a->g) == 0;
    const size_t specBytes = sizeof(DT32F) * size_t(bg->specLength);
    if (!bg->constrain) memcpy(a->before, bg->coefs, specBytes);
    pbfdaf32fFilterUpdate(bg, a->x, a->d, a->yBg, a->eBg);
    if (!bg->constrain)
      shareUpdate(a->before, bg->coefs, a->g.P, a->g.M, a->gains);
    return;
  }
  memcpy(a->heldPower, bg->power, sizeof(DT32F) * size_t(bg->bins));
  pbfdaf32fFilterOnly(bg, a->x, a->yBg);
  memcpy(bg->power, a->heldPower, sizeof(DT32F) * size_t(bg->bins));
  for (DT32S i = 0; i < a->g.B; ++i) a->eBg[i] = a->d[i] - a->yBg[i];
}

void copyCoefs(const quolmPbfdaf *from, quolmPbfdaf *to) {
  memcpy(to->coefs, from->coefs, sizeof(DT32F) * size_t(from->specLength));
}

// Zero coefficients and a fresh control; the input history stays.
void restartFilters(quolmAec *a) {
  pbfdaf32fReset(&a->fg);
  pbfdaf32fReset(&a->bg);
  a->control.reset();
  a->twoPath.reset();
  a->divergedFrames = 0;
}

bool farActive(quolmAec *a, double xx) {
  a->farPeak = std::max(xx, a->farPeak * a->farDecay);
  return xx > kFarGate * a->farPeak && xx > kSilence * a->g.B;
}

// The background's step, its update and the two-path switch; returns the
// output error (the smaller of the two), or null when a filter's output is
// not finite.
const DT32F *cancel(quolmAec *a, const FrameEnergy &f, double step,
                    const DT32F *X) {
  adaptBackground(a, step, X);
  const DT32S B = a->g.B;
  double bgE = 0, diff = 0;
  for (DT32S i = 0; i < B; ++i) {
    bgE += double(a->eBg[i]) * a->eBg[i];
    const double dy = double(a->yFg[i]) - a->yBg[i];
    diff += dy * dy;
  }
  if (!isfinite(f.ee + f.yy + bgE + diff)) return nullptr;
  switch (a->twoPath.decide(f.ee, bgE, diff)) {
    case Switch::UpdateForeground:
      copyCoefs(&a->bg, &a->fg);
      return a->eBg;
    case Switch::ResetBackground:
      copyCoefs(&a->fg, &a->bg);
      return a->eFg;
    case Switch::Keep:
      break;
  }
  return bgE < f.ee ? a->eBg : a->eFg;
}

void monitor(quolmAec *a, const FrameEnergy &f, double outE, double step,
             bool active) {
  quolmAecStatus &s = a->status;
  if (active) {
    a->micAvg += kMonitorGain * (f.dd - a->micAvg);
    a->outAvg += kMonitorGain * (outE - a->outAvg);
    if (a->micAvg > 0 && a->outAvg > 0)
      s.erle = DT32F(10 * log10(a->micAvg / a->outAvg));
  }
  s.leak = DT32F(a->control.leak());
  s.step = DT32F(step);
  s.adapted = a->control.adapted();
  s.doubleTalk = s.adapted && active &&
                 outE > kDoubleTalkRatio * a->control.leak() * f.yy;
  ++s.frames;
}

}  // namespace

DT32S Geometry::set(DT32S sampleRate, DT32S frameSize, DT32S tailTaps) {
  if (sampleRate < QUOLM_AEC_MIN_RATE || sampleRate > QUOLM_AEC_MAX_RATE ||
      frameSize < 1 || frameSize > QUOLM_AEC_MAX_FRAME || tailTaps < 1 ||
      tailTaps > QUOLM_AEC_MAX_TAIL)
    return -2;
  rate = sampleRate;
  B = frameSize;
  M = 2;
  while (M < 2 * B - 1) M *= 2;
  L = B;
  // M < 4B, so P * M < 4 * (tail + B): far inside the PBFDAF's sizes.
  P = (tailTaps + L - 1) / L;
  return 0;
}

DT32S create(quolmAec **out, const Geometry &g) {
  void *mem = calloc(1, sizeof(quolmAec));
  if (!mem) return -3;
  quolmAec *a = new (mem) quolmAec{};
  a->g = g;
  const size_t B = size_t(g.B), half = size_t(g.M) / 2;
  a->fftWork = static_cast<DT32S *>(calloc(2 + half, sizeof(DT32S)));
  // One block: the table, six frames of samples, the held power (bins).
  a->fftTable = static_cast<DT32F *>(calloc(half + 6 * B + half + 1,
                                            sizeof(DT32F)));
  // One more block: coefficients before an update (P*M), then P factors.
  a->before = static_cast<DT32F *>(
      calloc(size_t(g.P) * (size_t(g.M) + 1), sizeof(DT32F)));
  if (!a->fftWork || !a->fftTable || !a->before) {
    destroy(a);
    return -3;
  }
  quolmFftTables32f(g.M, a->fftWork, a->fftTable);
  if (pbfdaf32fInit(&a->fg, g.L, g.B, g.P, 0, 1, a->fftWork, a->fftTable) ||
      pbfdaf32fInit(&a->bg, g.L, g.B, g.P, 0, 1, a->fftWork, a->fftTable)) {
    destroy(a);
    return -3;
  }
  DT32F *v = a->fftTable + half;
  DT32F **blocks[] = {&a->x, &a->d, &a->yFg, &a->eFg, &a->yBg, &a->eBg};
  for (DT32F **b : blocks) *b = v, v += B;
  a->heldPower = v;
  a->gains = a->before + size_t(g.P) * size_t(g.M);
  a->control.init(g.B, g.rate, g.P);
  a->farDecay = pow(0.5, double(g.B) / (kPeakHalfLife * g.rate));
  restart(a);
  *out = a;
  return 0;
}

void destroy(quolmAec *a) {
  if (a->fg.length > 0) pbfdaf32fFree(&a->fg);
  if (a->bg.length > 0) pbfdaf32fFree(&a->bg);
  free(a->fftWork);
  free(a->fftTable);
  free(a->before);
  a->~quolmAec();
  free(a);
}

void restart(quolmAec *a) {
  restartFilters(a);
  pbfdaf32fResetDelayLine(&a->fg);
  pbfdaf32fResetDelayLine(&a->bg);
  memset(a->bg.power, 0, sizeof(DT32F) * size_t(a->bg.bins));
  a->farPeak = a->micAvg = a->outAvg = 0;
  a->constrainCount = 0;
  a->status = quolmAecStatus{};
  a->status.leak = 1;
}

// Partition p holds the taps of delays pB .. pB + B - 1, so the index in
// GetCoef's vector is the delay.
DT32S echoDelay(quolmAec *a) {
  const DT32S n = a->g.P * a->g.L;
  pbfdaf32fGetCoef(&a->fg, a->before, 0, n, 0);
  DT32S best = 0;
  for (DT32S i = 1; i < n; ++i)
    if (fabsf(a->before[i]) > fabsf(a->before[best])) best = i;
  return best;
}

DT32S process(quolmAec *a, const DT32F *far, const DT32F *mic, DT32F *out) {
  const DT32S B = a->g.B;
  const DT32S bad = sanitize(far, a->x, B) + sanitize(mic, a->d, B);
  FrameEnergy f;
  f.xx = energy(a->x, B);
  f.dd = energy(a->d, B);
  const bool active = farActive(a, f.xx);
  // The slot the foreground's FilterOnly fills with this block's spectrum.
  const DT32F *X = a->fg.inputSpectra + 2 * a->fg.index;
  pbfdaf32fFilterOnly(&a->fg, a->x, a->yFg);
  errorOf(a->d, a->yFg, a->eFg, B, &f);
  const double step =
      a->control.update(f, a->eFg, a->yFg, active && !clipped(a->d, B));
  const DT32F *e = cancel(a, f, step, X);
  if (!e) {  // the transforms overflowed: the state holds inf or NaN
    restart(a);
    e = a->d;
  }
  const double outE = energy(e, B);
  memcpy(out, e, sizeof(DT32F) * size_t(B));
  const bool diverged = active && outE > kDivergeRatio * f.dd;
  a->divergedFrames = diverged ? a->divergedFrames + 1 : 0;
  if (a->divergedFrames >= kDivergeFrames) restartFilters(a);
  monitor(a, f, outE, step, active);
  return bad;
}

}  // namespace quolmaec
