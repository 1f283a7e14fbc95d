// SPDX-License-Identifier: MIT
// BFDAF: set-up, overlap-save filtering, coefficient views, resizing, its
// agreement with a one-partition PBFDAF, and system identification.
#include "fdafutil32f.h"

namespace {

const double kTol = sizeof(DT32F) == 4 ? 2e-5 : 1e-12;

// Runs x through the filter block by block: adapting on d when d is given,
// else FilterOnly. Returns the outputs; errors go to *eOut.
Vec run(quolmBfdaf *f, const Vec &x, const Vec *d = nullptr,
        Vec *eOut = nullptr) {
  const size_t B = size_t(f->blockLen);
  Vec y(x.size()), e(x.size());
  for (size_t n = 0; n + B <= x.size(); n += B) {
    Vec xb(x.begin() + n, x.begin() + n + B);
    if (d) {
      Vec db(d->begin() + n, d->begin() + n + B);
      EXPECT_EQ(bfdaf32fFilterUpdate(f, xb.data(), db.data(), y.data() + n,
                                     e.data() + n),
                0);
    } else {
      EXPECT_EQ(bfdaf32fFilterOnly(f, xb.data(), y.data() + n), 0);
    }
  }
  if (eOut) *eOut = e;
  return y;
}

Vec coefs(quolmBfdaf *f) {
  Vec w(size_t(f->length));
  EXPECT_EQ(bfdaf32fGetCoef(f, w.data(), 0, f->length, 0), f->length);
  return w;
}

Vec spectrum(const quolmBfdaf &f) { return Vec(f.coefs, f.coefs + f.fftSize); }

// An impulse at `delay` must delay x by that much across block boundaries.
void expectDelay(quolmBfdaf *f, const Vec &x, size_t delay,
                 const Vec &before = Vec()) {
  const Vec y = run(f, x);
  for (size_t n = 0; n < x.size(); ++n) {
    const double want = n >= delay ? x[n - delay]
                        : before.size() + n >= delay
                            ? before[before.size() + n - delay]
                            : 0;
    EXPECT_NEAR(y[n], want, kTol)
        << "L " << f->length << " B " << f->blockLen << " n " << n;
  }
}

}  // namespace

TEST(Bfdaf, DerivedFieldsAndStateLayout) {
  TableSet tables(16);
  quolmBfdaf f;
  Vec coefBuf(17, DT32F(7)), state(61, DT32F(7));
  ASSERT_EQ(bfdaf32fInitStatic(&f, 6, 6, DT32F(0.05), 3, coefBuf.data(),
                               state.data(), tables.w(), tables.t()),
            0);
  EXPECT_EQ(f.length, 6);
  EXPECT_EQ(f.blockLen, 6);
  EXPECT_EQ(f.fftSize, 16);
  EXPECT_EQ(f.bins, 9);
  EXPECT_EQ(f.constrain, 1);
  EXPECT_EQ(f.saveLength, 10);
  EXPECT_EQ(f.padLength, 10);
  EXPECT_EQ(f.invScale, DT32F(0.125));
  EXPECT_EQ(f.powerGain,
            DT32F(sizeof(DT32F) == 4 ? 0.02 : 0.020000000000000018) / DT32F(6));
  EXPECT_EQ(f.saved, state.data());
  EXPECT_EQ(f.inputSpectrum, state.data() + 10);
  EXPECT_EQ(f.work, state.data() + 26);
  EXPECT_EQ(f.scratch, state.data() + 42);
  EXPECT_EQ(f.power, state.data() + 51);
  for (int i = 0; i < 51; ++i) EXPECT_EQ(state[i], 0) << i;
  for (int i = 51; i < 60; ++i) EXPECT_EQ(state[i], 1) << i;
  EXPECT_EQ(state[60], 7);
  EXPECT_EQ(coefBuf[15], 0);
  EXPECT_EQ(coefBuf[16], 7);
  Vec x = Rng(31).vec(6), y(6), e(6);
  ASSERT_EQ(bfdaf32fFilterUpdate(&f, x.data(), x.data(), y.data(), e.data()),
            0);
  EXPECT_EQ(state[60], 7);
  EXPECT_EQ(coefBuf[16], 7);
}

TEST(Bfdaf, CodesAndCheckOrder) {
  TableSet tables(16), small(8), two(2);
  quolmBfdaf f;
  Vec c(16), s(60);
  DT32F v[6];
  EXPECT_EQ(bfdaf32fInit(nullptr, 6, 6, DT32F(0.1), 1, tables.w(), tables.t()),
            -1);
  f.length = 5;
  EXPECT_EQ(bfdaf32fInit(&f, 0, 0, DT32F(0.1), 1, nullptr, tables.t()), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(bfdaf32fInit(&f, 0, 0, DT32F(0.1), 1, tables.w(), nullptr), -1);
  for (DT32S bad : {0, -3}) {
    f.length = 5;
    EXPECT_EQ(bfdaf32fInit(&f, bad, 6, DT32F(0.1), 1, tables.w(), tables.t()),
              -2);
    EXPECT_EQ(f.length, 0);
    EXPECT_EQ(bfdaf32fInit(&f, 6, bad, DT32F(0.1), 1, tables.w(), tables.t()),
              -2);
    EXPECT_EQ(bfdaf32fInitStatic(&f, bad, 6, DT32F(0.1), 1, c.data(), s.data(),
                                 tables.w(), tables.t()),
              -2);
  }
  EXPECT_EQ(bfdaf32fInit(&f, 6, 6, DT32F(0.1), 1, small.w(), small.t()), -2);
  EXPECT_EQ(bfdaf32fInitStatic(&f, 6, 6, DT32F(0.1), 1, nullptr, s.data(),
                               tables.w(), tables.t()),
            -1);
  EXPECT_EQ(bfdaf32fInitStatic(&f, 6, 6, DT32F(0.1), 1, c.data(), nullptr,
                               tables.w(), tables.t()),
            -1);
  EXPECT_EQ(bfdaf32fInit(&f, INT32_MAX, INT32_MAX, DT32F(0.1), 1, tables.w(),
                         tables.t()),
            -3);
  EXPECT_EQ(f.length, 0);

  ASSERT_EQ(bfdaf32fInit(&f, 1, 1, DT32F(0.1), 0, two.w(), two.t()), 0);
  EXPECT_EQ(f.fftSize, 2);
  EXPECT_EQ(bfdaf32fGetCoef(&f, v, 0, 3, 0), 1);
  EXPECT_EQ(bfdaf32fGetCoef(&f, v, 1, 1, 0), -2);
  EXPECT_EQ(bfdaf32fGetCoef(&f, v, 0, 0, 0), -2);
  EXPECT_EQ(bfdaf32fSetCoef(&f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(bfdaf32fGetCoef(nullptr, v, 0, 1, 0), -1);
  expectCopyExtremes(&f, 1, {bfdaf32fGetCoef, bfdaf32fSetCoef});
  EXPECT_EQ(bfdaf32fReset(nullptr), -1);
  EXPECT_EQ(bfdaf32fResetDelayLine(nullptr), -1);
  EXPECT_EQ(bfdaf32fResize(nullptr, 2, 2), -1);
  bfdaf32fFree(&f);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(bfdaf32fReset(&f), -1);
  EXPECT_EQ(bfdaf32fResetDelayLine(&f), -1);
  EXPECT_EQ(bfdaf32fSetCoef(&f, v, 0, 1, 0), -1);
  EXPECT_EQ(bfdaf32fResize(&f, 3, 3), -1);
}

TEST(Bfdaf, DelayedImpulseAcrossBlocks) {
  Rng rng(32);
  struct Case {
    DT32S L, B, delay;
  };
  for (const Case c : {Case{6, 6, 2}, Case{3, 8, 2}, Case{9, 2, 8},
                       Case{1, 1, 0}, Case{5, 3, 4}}) {
    TableSet tables(32);
    quolmBfdaf f;
    ASSERT_EQ(
        bfdaf32fInit(&f, c.L, c.B, DT32F(0.05), 1, tables.w(), tables.t()), 0);
    DT32F one = 1;
    ASSERT_EQ(bfdaf32fSetCoef(&f, &one, c.delay, 1, 0), 1);
    expectDelay(&f, rng.vec(size_t(c.B) * 10), size_t(c.delay));
    bfdaf32fFree(&f);
  }
}

TEST(Bfdaf, CoefficientViewRoundTripsAndKeepsTails) {
  TableSet tables(16);
  quolmBfdaf f;
  ASSERT_EQ(bfdaf32fInit(&f, 6, 6, DT32F(0.05), 0, tables.w(), tables.t()), 0);
  Rng rng(33);
  const Vec w = rng.vec(6);
  ASSERT_EQ(bfdaf32fSetCoef(&f, const_cast<DT32F *>(w.data()), 0, 6, 1), 6);
  Vec got(6);
  ASSERT_EQ(bfdaf32fGetCoef(&f, got.data(), 0, 6, 0), 6);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], w[5 - i], kTol) << i;
  // Unconstrained adaptation grows taps past L; the view leaves them alone.
  const Vec x = rng.vec(120), d = rng.vec(120);
  run(&f, x, &d);
  const Vec W = spectrum(f);
  coefs(&f);
  const Vec after = spectrum(f);
  double tail = 0;
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(after[i], W[i], 20 * kTol) << i;
    tail = fmax(tail, fabs(W[i]));
  }
  EXPECT_GT(tail, 0.01);
  bfdaf32fFree(&f);
}

TEST(Bfdaf, UpdateFilterOnlyAndResets) {
  TableSet tables(16);
  quolmBfdaf f;
  ASSERT_EQ(bfdaf32fInit(&f, 6, 6, DT32F(0.05), 1, tables.w(), tables.t()), 0);
  Rng rng(34);
  Vec x = rng.vec(6), d = rng.vec(6), y(6), e(6), y2(6), e2(6);
  ASSERT_EQ(bfdaf32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data()),
            0);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(y[i], 0);
    EXPECT_EQ(e[i], d[i]);
  }
  ASSERT_EQ(bfdaf32fResetDelayLine(&f), 0);
  ASSERT_EQ(bfdaf32fFilterUpdate(&f, x.data(), d.data(), y2.data(), e2.data()),
            0);
  double before = 0, after = 0;
  for (int i = 0; i < 6; ++i)
    before += double(e[i]) * e[i], after += double(e2[i]) * e2[i];
  EXPECT_LT(after, before) << "the update moved against the error";

  const Vec W = spectrum(f), p(f.power, f.power + f.bins);
  const Vec saved(f.saved, f.saved + f.saveLength);
  run(&f, rng.vec(12));
  EXPECT_EQ(spectrum(f), W);
  EXPECT_NE(Vec(f.power, f.power + f.bins), p);
  EXPECT_NE(Vec(f.saved, f.saved + f.saveLength), saved);

  ASSERT_EQ(bfdaf32fReset(&f), 0);
  EXPECT_EQ(spectrum(f), Vec(16, DT32F(0)));
  const Vec p2(f.power, f.power + f.bins);
  ASSERT_EQ(bfdaf32fResetDelayLine(&f), 0);
  for (DT32S i = 0; i < f.saveLength; ++i) EXPECT_EQ(f.saved[i], 0);
  for (DT32S i = 0; i < f.fftSize; ++i) EXPECT_EQ(f.inputSpectrum[i], 0);
  EXPECT_EQ(Vec(f.power, f.power + f.bins), p2);
  bfdaf32fFree(&f);
}

// One partition of PBFDAF is BFDAF up to PBFDAF's single-precision
// constants.
TEST(Bfdaf, AgreesWithOnePartitionPbfdaf) {
  for (DT32S constrain : {1, 0}) {
    TableSet tables(64);
    quolmBfdaf b;
    quolmPbfdaf p;
    ASSERT_EQ(bfdaf32fInit(&b, 20, 12, DT32F(0.02), constrain, tables.w(),
                           tables.t()),
              0);
    ASSERT_EQ(pbfdaf32fInit(&p, 20, 12, 1, DT32F(0.02), constrain, tables.w(),
                            tables.t()),
              0);
    Rng rng(35);
    const Vec x = rng.vec(600), d = rng.vec(600);
    double worst = 0, size = 0;
    for (size_t n = 0; n < x.size(); n += 12) {
      Vec xb(x.begin() + n, x.begin() + n + 12),
          db(d.begin() + n, d.begin() + n + 12);
      Vec yb(12), eb(12), yp(12), ep(12);
      bfdaf32fFilterUpdate(&b, xb.data(), db.data(), yb.data(), eb.data());
      pbfdaf32fFilterUpdate(&p, xb.data(), db.data(), yp.data(), ep.data());
      for (int i = 0; i < 12; ++i)
        worst = fmax(worst, fabs(yb[i] - yp[i])),
        size = fmax(size, fabs(yb[i]));
      EXPECT_EQ(p.index, 0);
    }
    EXPECT_LT(worst, 1e-4 * size) << "constrain " << constrain;
    bfdaf32fFree(&b);
    pbfdaf32fFree(&p);
  }
}

TEST(Bfdaf, ResizeKeepsCoefficientsAndRecentInput) {
  Rng rng(36);
  TableSet tables(64);
  quolmBfdaf f;
  ASSERT_EQ(bfdaf32fInit(&f, 6, 6, DT32F(0.05), 1, tables.w(), tables.t()), 0);
  DT32F one = 1;
  ASSERT_EQ(bfdaf32fSetCoef(&f, &one, 2, 1, 0), 1);
  const Vec x1 = rng.vec(24);
  run(&f, x1);
  quolmBfdaf before = f;
  EXPECT_EQ(bfdaf32fResize(&f, 6, 6), 0);
  EXPECT_EQ(memcmp(&before, &f, sizeof f), 0);

  // Same M, new block length: the saved samples keep their ages, so the
  // delayed output continues across the resize; power carries.
  const Vec p(f.power, f.power + f.bins);
  ASSERT_EQ(bfdaf32fResize(&f, 6, 4), 0);
  EXPECT_EQ(f.fftSize, 16);
  EXPECT_EQ(Vec(f.power, f.power + f.bins), p);
  expectDelay(&f, rng.vec(16), 2, x1);

  // Longer: the old taps carry, new ones start at zero; M changes and the
  // power estimate restarts.
  ASSERT_EQ(bfdaf32fResize(&f, 20, 4), 0);
  EXPECT_EQ(f.fftSize, 32);
  const Vec w = coefs(&f);
  for (int i = 0; i < 20; ++i) EXPECT_NEAR(w[i], i == 2 ? 1 : 0, kTol) << i;
  for (DT32S k = 0; k < f.bins; ++k) EXPECT_EQ(f.power[k], 1);

  before = f;
  EXPECT_EQ(bfdaf32fResize(&f, 60, 8), -2);  // needs tables for 128
  EXPECT_EQ(bfdaf32fResize(&f, 6, 0), -2);
  EXPECT_EQ(memcmp(&before, &f, sizeof f), 0);
  bfdaf32fFree(&f);
}

// A random 256-tap system from white noise.
TEST(Bfdaf, IdentifiesA256TapSystem) {
  const struct {
    DT32S constrain;
    double mu;
    size_t samples;
  } runs[] = {{1, 0.003, 12288}, {0, 0.003, 12288}};
  for (const auto &r : runs) {
    TableSet tables(512);
    quolmBfdaf f;
    ASSERT_EQ(bfdaf32fInit(&f, 256, 256, DT32F(r.mu), r.constrain, tables.w(),
                           tables.t()),
              0);
    Vec h;
    const double reached = identify256(
        r.constrain ? "bfdaf constrained" : "bfdaf unconstrained", 256,
        r.samples, &h, [&](const DT32F *x, const DT32F *d, DT32F *y, DT32F *e) {
          bfdaf32fFilterUpdate(&f, const_cast<DT32F *>(x),
                               const_cast<DT32F *>(d), y, e);
        });
    EXPECT_LT(reached, -40) << "constrain " << r.constrain << ": error power "
                            << reached << " dB below the desired power";
    bfdaf32fFree(&f);
  }
}

TEST(Bfdaf, ProcessingAllocatesNothing) {
  TableSet tables(128);
  quolmBfdaf f;
  ASSERT_EQ(bfdaf32fInit(&f, 64, 64, DT32F(0.003), 1, tables.w(), tables.t()),
            0);
  Vec x = Rng(37).vec(64), d = Rng(38).vec(64), y(64), e(64);
  DT32F v[4];
  expectNoAllocation([&] {
    bfdaf32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data());
    bfdaf32fFilterOnly(&f, x.data(), y.data());
    bfdaf32fGetCoef(&f, v, 0, 4, 0);
    bfdaf32fSetCoef(&f, v, 0, 4, 0);
  });
  bfdaf32fFree(&f);
}

TEST(Bfdaf, AllocationFailuresLeaveNothingBehind) {
  TableSet tables(64);
  quolmBfdaf f;
  expectAllocFailuresClean(
      [&] {
        return bfdaf32fInit(&f, 8, 8, DT32F(0.1), 1, tables.w(), tables.t());
      },
      [&](DT32S) { EXPECT_EQ(f.length, 0); }, [&] { bfdaf32fFree(&f); });
  ASSERT_EQ(bfdaf32fInit(&f, 8, 8, DT32F(0.1), 1, tables.w(), tables.t()), 0);
  const quolmBfdaf before = f;
  expectAllocFailuresClean(
      [&] { return bfdaf32fResize(&f, 20, 8); },
      [&](DT32S) { EXPECT_EQ(memcmp(&before, &f, sizeof f), 0); },
      [&] {
        EXPECT_EQ(f.length, 20);
        bfdaf32fFree(&f);
      });
}
