// SPDX-License-Identifier: MIT
// PBFDAF: set-up, the partitioned overlap-save filtering, coefficient views,
// resizing, and identification of an unknown FIR system.
#include "fdafutil32f.h"

namespace {

// Runs x through FilterOnly block by block; returns the outputs.
Vec filterOnly(quolmPbfdaf *f, const Vec &x) {
  const size_t B = size_t(f->blockLen);
  Vec y(x.size());
  for (size_t n = 0; n + B <= x.size(); n += B) {
    Vec xb(x.begin() + n, x.begin() + n + B);
    EXPECT_EQ(pbfdaf32fFilterOnly(f, xb.data(), y.data() + n), 0);
  }
  return y;
}

// Adapts on d block by block; returns the errors (outputs in *y if given).
Vec adapt(quolmPbfdaf *f, const Vec &x, const Vec &d, Vec *yOut = nullptr) {
  const size_t B = size_t(f->blockLen);
  Vec y(x.size()), e(x.size());
  for (size_t n = 0; n + B <= x.size(); n += B) {
    Vec xb(x.begin() + n, x.begin() + n + B),
        db(d.begin() + n, d.begin() + n + B);
    EXPECT_EQ(pbfdaf32fFilterUpdate(f, xb.data(), db.data(), y.data() + n,
                                    e.data() + n),
              0);
  }
  if (yOut) *yOut = y;
  return e;
}

Vec coefs(quolmPbfdaf *f) {
  Vec w(size_t(f->partitions * f->length));
  EXPECT_EQ(pbfdaf32fGetCoef(f, w.data(), 0, DT32S(w.size()), 0),
            DT32S(w.size()));
  return w;
}

// Largest difference between y and the FIR h over x, from sample `from` on.
double firGap(const Vec &y, const Vec &h, const Vec &x, size_t from = 0) {
  const std::vector<double> want = firReference(h, x);
  double worst = 0;
  for (size_t n = from; n < y.size(); ++n)
    worst = fmax(worst, fabs(y[n] - want[n]));
  return worst;
}

const double kTol = sizeof(DT32F) == 4 ? 2e-5 : 1e-12;

}  // namespace

// The demo's configuration: N = 6, B = 6, P = 2 on tables for 16 values.
TEST(Pbfdaf, DerivedFieldsAndStateLayout) {
  TableSet tables(16);
  quolmPbfdaf f;
  Vec coefBuf(32 + 1, DT32F(7)), state(83 + 1, DT32F(7));
  ASSERT_EQ(pbfdaf32fInitStatic(&f, 6, 6, 2, DT32F(0.05), 5, coefBuf.data(),
                                state.data(), tables.w(), tables.t()),
            0);
  EXPECT_EQ(f.length, 6);
  EXPECT_EQ(f.blockLen, 6);
  EXPECT_EQ(f.partitions, 2);
  EXPECT_EQ(f.fftSize, 16);
  EXPECT_EQ(f.bins, 9);
  EXPECT_EQ(f.specLength, 32);
  EXPECT_EQ(f.constrain, 1);
  EXPECT_EQ(f.saveLength, 10);
  EXPECT_EQ(f.padLength, 10);
  EXPECT_EQ(f.invScale, DT32F(0.125));
  EXPECT_EQ(f.powerGain, DT32F(0.019999980926513672) / DT32F(6));
  EXPECT_EQ(f.index, 8);
  EXPECT_EQ(f.saved, state.data());
  EXPECT_EQ(f.inputSpectra, state.data() + 10);
  EXPECT_EQ(f.work, state.data() + 42);
  EXPECT_EQ(f.scratch, state.data() + 58);
  EXPECT_EQ(f.power, state.data() + 74);
  for (int i = 0; i < 74; ++i) EXPECT_EQ(state[i], 0) << i;
  for (int i = 74; i < 83; ++i) EXPECT_EQ(state[i], 1) << i;
  EXPECT_EQ(state[83], 7);  // nothing past the block
  EXPECT_EQ(coefBuf[31], 0);
  EXPECT_EQ(coefBuf[32], 7);
  EXPECT_EQ(f.fftWork, tables.w());
  EXPECT_EQ(f.fftTable, tables.t());

  Vec x(6, DT32F(1)), d(6, DT32F(1)), y(6), e(6);
  for (DT32S want : {0, 8, 0, 8}) {
    ASSERT_EQ(pbfdaf32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data()),
              0);
    EXPECT_EQ(f.index, want);
  }
  EXPECT_EQ(state[83], 7);
  EXPECT_EQ(coefBuf[32], 7);
}

TEST(Pbfdaf, InitCodesAndCheckOrder) {
  TableSet tables(16), small(8);
  quolmPbfdaf f;
  Vec c(64), s(128);
  EXPECT_EQ(
      pbfdaf32fInit(nullptr, 6, 6, 2, DT32F(0.1), 1, tables.w(), tables.t()),
      -1);
  f.length = 5;
  EXPECT_EQ(pbfdaf32fInit(&f, 0, 6, 2, DT32F(0.1), 1, nullptr, tables.t()), -1);
  EXPECT_EQ(f.length, 0);
  f.length = 5;
  EXPECT_EQ(pbfdaf32fInit(&f, 0, 6, 2, DT32F(0.1), 1, tables.w(), nullptr), -1);
  EXPECT_EQ(f.length, 0);
  const DT32S bad[][3] = {{0, 6, 2}, {6, 0, 2}, {6, 6, 0}, {-1, 6, 2}};
  for (const auto &b : bad) {
    f.length = 5;
    EXPECT_EQ(pbfdaf32fInit(&f, b[0], b[1], b[2], DT32F(0.1), 1, tables.w(),
                            tables.t()),
              -2);
    EXPECT_EQ(f.length, 0);
    EXPECT_EQ(pbfdaf32fInitStatic(&f, b[0], b[1], b[2], DT32F(0.1), 1, c.data(),
                                  s.data(), tables.w(), tables.t()),
              -2);
  }
  // Tables built for 8 values cannot serve M = 16.
  f.length = 5;
  EXPECT_EQ(pbfdaf32fInit(&f, 6, 6, 2, DT32F(0.1), 1, small.w(), small.t()),
            -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(pbfdaf32fInitStatic(&f, 6, 6, 2, DT32F(0.1), 1, nullptr, s.data(),
                                tables.w(), tables.t()),
            -1);
  EXPECT_EQ(pbfdaf32fInitStatic(&f, 6, 6, 2, DT32F(0.1), 1, c.data(), nullptr,
                                tables.w(), tables.t()),
            -1);
  // Sizes whose buffers cannot be indexed: -3, nothing allocated.
  TableSet big(1 << 12);
  EXPECT_EQ(
      pbfdaf32fInit(&f, 1 << 30, 1 << 30, 1, DT32F(0.1), 1, big.w(), big.t()),
      -3);
  EXPECT_EQ(
      pbfdaf32fInit(&f, 2048, 2048, 1 << 20, DT32F(0.1), 1, big.w(), big.t()),
      -3);
  EXPECT_EQ(f.length, 0);
  // The smallest filter, L = B = 1, transforms pairs.
  TableSet two(2);
  ASSERT_EQ(pbfdaf32fInit(&f, 1, 1, 1, DT32F(0.1), 1, two.w(), two.t()), 0);
  EXPECT_EQ(f.fftSize, 2);
  EXPECT_EQ(f.bins, 2);
  pbfdaf32fFree(&f);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(f.coefs, nullptr);
}

TEST(Pbfdaf, ResetAndCopyCodes) {
  TableSet tables(16);
  quolmPbfdaf f;
  ASSERT_EQ(pbfdaf32fInit(&f, 6, 6, 2, DT32F(0.05), 1, tables.w(), tables.t()),
            0);
  DT32F v[12];
  EXPECT_EQ(pbfdaf32fGetCoef(&f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(pbfdaf32fSetCoef(nullptr, v, 0, 1, 0), -1);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, 0, 0, 0), -2);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, -1, 1, 0), -2);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, 12, 1, 0), -2);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, 11, 50, 0), 1);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, 0, 12, 0), 12);
  expectCopyExtremes(&f, 12, {pbfdaf32fGetCoef, pbfdaf32fSetCoef});
  EXPECT_EQ(pbfdaf32fReset(&f), 0);
  EXPECT_EQ(pbfdaf32fResetDelayLine(&f), 0);
  EXPECT_EQ(pbfdaf32fReset(nullptr), -1);
  EXPECT_EQ(pbfdaf32fResetDelayLine(nullptr), -1);
  EXPECT_EQ(pbfdaf32fResize(nullptr, 6, 6, 2), -1);
  pbfdaf32fFree(&f);
  EXPECT_EQ(pbfdaf32fReset(&f), -1);
  EXPECT_EQ(pbfdaf32fResetDelayLine(&f), -1);
  EXPECT_EQ(pbfdaf32fGetCoef(&f, v, 0, 1, 0), -1);
  EXPECT_EQ(pbfdaf32fResize(&f, 4, 4, 1), -1);
}

// Coefficient g = p*L + i delays by p blocks and i samples; across block
// boundaries the saved samples and the spectral ring carry the history.
TEST(Pbfdaf, DelayedImpulsesAcrossBlocksAndPartitions) {
  Rng rng(22);
  struct Case {
    DT32S L, B, P, g;
  };
  for (const Case c : {Case{6, 6, 2, 7}, Case{6, 6, 2, 0}, Case{4, 3, 3, 9},
                       Case{1, 1, 2, 1}, Case{5, 8, 3, 14}}) {
    TableSet tables(64);
    quolmPbfdaf f;
    ASSERT_EQ(pbfdaf32fInit(&f, c.L, c.B, c.P, DT32F(0.05), 1, tables.w(),
                            tables.t()),
              0);
    DT32F one = 1;
    ASSERT_EQ(pbfdaf32fSetCoef(&f, &one, c.g, 1, 0), 1);
    const Vec x = rng.vec(size_t(c.B) * 12);
    const Vec y = filterOnly(&f, x);
    const DT32S delay = (c.g / c.L) * c.B + c.g % c.L;
    for (size_t n = 0; n < x.size(); ++n)
      EXPECT_NEAR(y[n], n >= size_t(delay) ? x[n - delay] : 0, kTol)
          << "L " << c.L << " B " << c.B << " P " << c.P << " n " << n;
    pbfdaf32fFree(&f);
  }
}

TEST(Pbfdaf, CoefficientViewRoundTripsAndConstrains) {
  TableSet tables(16);
  quolmPbfdaf f;
  ASSERT_EQ(pbfdaf32fInit(&f, 6, 6, 2, DT32F(0.05), 0, tables.w(), tables.t()),
            0);
  Rng rng(23);
  const Vec w = rng.vec(12);
  ASSERT_EQ(pbfdaf32fSetCoef(&f, const_cast<DT32F *>(w.data()), 0, 12, 0), 12);
  Vec got(12);
  ASSERT_EQ(pbfdaf32fGetCoef(&f, got.data(), 0, 12, 0), 12);
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(got[i], w[i], kTol) << i;
  // Reversed partial copies pair element start + j with values[n-1-j].
  Vec part(5);
  ASSERT_EQ(pbfdaf32fGetCoef(&f, part.data(), 4, 5, 1), 5);
  for (int j = 0; j < 5; ++j) EXPECT_NEAR(part[4 - j], w[4 + j], kTol) << j;
  const Vec mark = {DT32F(9), DT32F(8), DT32F(7)};
  ASSERT_EQ(pbfdaf32fSetCoef(&f, const_cast<DT32F *>(mark.data()), 5, 3, 1), 3);
  ASSERT_EQ(pbfdaf32fGetCoef(&f, got.data(), 0, 12, 0), 12);
  for (int i = 0; i < 12; ++i) {
    const DT32F want = i == 5 ? 7 : i == 6 ? 8 : i == 7 ? 9 : w[i];
    EXPECT_NEAR(got[i], want, kTol) << i;
  }

  // Unconstrained adaptation grows tails past L taps; GetCoef cuts them, so
  // afterwards the filter is exactly the FIR of the 12 coefficients it shows.
  const Vec x = rng.vec(600), d = rng.vec(600);
  adapt(&f, x, d);
  const Vec shown = coefs(&f);
  Vec h(18, DT32F(0));
  for (int i = 0; i < 6; ++i) h[i] = shown[i], h[6 + i] = shown[6 + i];
  Vec hist = x;  // FilterOnly continues the same input stream
  const Vec more = rng.vec(60);
  hist.insert(hist.end(), more.begin(), more.end());
  const Vec y = filterOnly(&f, more);
  const Vec yAll = [&] {
    Vec v(600, DT32F(0));
    v.insert(v.end(), y.begin(), y.end());
    return v;
  }();
  EXPECT_LT(firGap(yAll, h, hist, 600), 50 * kTol);
  pbfdaf32fFree(&f);
}

// The adapted filter keeps FIR shape with the constraint and the output of
// FilterUpdate is the one from before the update.
TEST(Pbfdaf, FreshFilterOutputsZeroAndUpdatesTowardsTheTarget) {
  TableSet tables(16);
  quolmPbfdaf f;
  ASSERT_EQ(pbfdaf32fInit(&f, 6, 6, 2, DT32F(0.05), 1, tables.w(), tables.t()),
            0);
  Rng rng(24);
  Vec x = rng.vec(6), d = rng.vec(6), y(6), e(6);
  ASSERT_EQ(pbfdaf32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data()),
            0);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(y[i], 0);
    EXPECT_EQ(e[i], d[i]);
  }
  // Repeating the block reduces its error.
  Vec y2(6), e2(6);
  pbfdaf32fResetDelayLine(&f);
  ASSERT_EQ(pbfdaf32fFilterUpdate(&f, x.data(), d.data(), y2.data(), e2.data()),
            0);
  double before = 0, after = 0;
  for (int i = 0; i < 6; ++i)
    before += double(e[i]) * e[i], after += double(e2[i]) * e2[i];
  EXPECT_LT(after, before);
  // FilterOnly moves power and history but no coefficient.
  const Vec W(f.coefs, f.coefs + f.specLength);
  const Vec p(f.power, f.power + f.bins);
  filterOnly(&f, rng.vec(12));
  EXPECT_EQ(Vec(f.coefs, f.coefs + f.specLength), W);
  EXPECT_NE(Vec(f.power, f.power + f.bins), p);
  // Reset clears coefficients only, ResetDelayLine the history only.
  const DT32S index = f.index;
  ASSERT_EQ(pbfdaf32fReset(&f), 0);
  EXPECT_EQ(coefs(&f), Vec(12, DT32F(0)));
  ASSERT_EQ(pbfdaf32fResetDelayLine(&f), 0);
  EXPECT_EQ(f.index, index);
  for (DT32S i = 0; i < f.specLength; ++i) ASSERT_EQ(f.inputSpectra[i], 0);
  for (DT32S i = 0; i < f.saveLength; ++i) ASSERT_EQ(f.saved[i], 0);
  pbfdaf32fFree(&f);
}

TEST(Pbfdaf, ResizeKeepsCoefficientsAndRecentInput) {
  Rng rng(25);
  TableSet tables(64);
  quolmPbfdaf f;
  ASSERT_EQ(pbfdaf32fInit(&f, 4, 4, 3, DT32F(0.05), 1, tables.w(), tables.t()),
            0);
  const Vec w = rng.vec(12);
  ASSERT_EQ(pbfdaf32fSetCoef(&f, const_cast<DT32F *>(w.data()), 0, 12, 0), 12);
  const Vec x1 = rng.vec(40), x2 = rng.vec(40);
  filterOnly(&f, x1);
  Vec hist = x1;
  hist.insert(hist.end(), x2.begin(), x2.end());

  // Same sizes: nothing changes.
  quolmPbfdaf before = f;
  EXPECT_EQ(pbfdaf32fResize(&f, 4, 4, 3), 0);
  EXPECT_EQ(memcmp(&before, &f, sizeof f), 0);

  // Fewer partitions at the same M: the newest spectra and the leading eight
  // coefficients carry, so the output continues as the 8-tap FIR.
  const Vec p(f.power, f.power + f.bins);
  ASSERT_EQ(pbfdaf32fResize(&f, 4, 4, 2), 0);
  EXPECT_EQ(f.partitions, 2);
  EXPECT_EQ(f.index, 4);  // (P - 1) M/2 with M = 8
  EXPECT_EQ(Vec(f.power, f.power + f.bins), p);
  Vec y = filterOnly(&f, x2);
  Vec yAll(40, DT32F(0));
  yAll.insert(yAll.end(), y.begin(), y.end());
  EXPECT_LT(firGap(yAll, Vec(w.begin(), w.begin() + 8), hist, 40), 20 * kTol);

  // More partitions: the old ones carry, the new one starts at zero.
  ASSERT_EQ(pbfdaf32fResize(&f, 4, 4, 4), 0);
  Vec shown = coefs(&f);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(shown[i], w[i], 10 * kTol) << i;
  for (int i = 8; i < 16; ++i) EXPECT_EQ(shown[i], 0) << i;

  // A new FFT size: the coefficients keep their element numbers, the power
  // estimate restarts at 1.
  ASSERT_EQ(pbfdaf32fResize(&f, 10, 4, 2), 0);
  EXPECT_EQ(f.fftSize, 16);
  shown = coefs(&f);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(shown[i], w[i], 10 * kTol) << i;
  for (int i = 8; i < 20; ++i) EXPECT_NEAR(shown[i], 0, 10 * kTol) << i;
  for (DT32S k = 0; k < f.bins; ++k) EXPECT_EQ(f.power[k], 1);

  // Tables too small for the new M: -2, the filter unchanged.
  before = f;
  EXPECT_EQ(pbfdaf32fResize(&f, 60, 10, 2), -2);
  EXPECT_EQ(memcmp(&before, &f, sizeof f), 0);
  EXPECT_EQ(pbfdaf32fResize(&f, 0, 4, 2), -2);
  EXPECT_EQ(memcmp(&before, &f, sizeof f), 0);
  pbfdaf32fFree(&f);
}

// A random 256-tap system from white noise, as 4 partitions of 64 taps.
TEST(Pbfdaf, IdentifiesA256TapSystem) {
  const struct {
    DT32S constrain;
    double mu;
    size_t samples;
  } runs[] = {{1, 0.003, 16000}, {0, 0.005, 60000}};
  for (const auto &r : runs) {
    TableSet tables(128);
    quolmPbfdaf f;
    ASSERT_EQ(pbfdaf32fInit(&f, 64, 64, 4, DT32F(r.mu), r.constrain, tables.w(),
                            tables.t()),
              0);
    Vec h;
    const double reached = identify256(
        r.constrain ? "pbfdaf constrained" : "pbfdaf unconstrained", 64,
        r.samples, &h, [&](const DT32F *x, const DT32F *d, DT32F *y, DT32F *e) {
          pbfdaf32fFilterUpdate(&f, const_cast<DT32F *>(x),
                                const_cast<DT32F *>(d), y, e);
        });
    EXPECT_LT(reached, -40) << "constrain " << r.constrain << ": error power "
                            << reached << " dB below the desired power";
    const Vec w = coefs(&f);
    double mis = 0, ref = 0;
    for (int i = 0; i < 256; ++i)
      mis += double(w[i] - h[i]) * (w[i] - h[i]), ref += double(h[i]) * h[i];
    EXPECT_LT(dB(mis, ref), r.constrain ? -40 : -20)
        << "coefficient misalignment";
    pbfdaf32fFree(&f);
  }
}

TEST(Pbfdaf, ProcessingAllocatesNothing) {
  TableSet tables(128);
  quolmPbfdaf f;
  ASSERT_EQ(
      pbfdaf32fInit(&f, 64, 64, 4, DT32F(0.003), 1, tables.w(), tables.t()), 0);
  Vec x = Rng(26).vec(64), d = Rng(27).vec(64), y(64), e(64);
  DT32F v[4];
  expectNoAllocation([&] {
    pbfdaf32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data());
    pbfdaf32fFilterOnly(&f, x.data(), y.data());
    pbfdaf32fGetCoef(&f, v, 0, 4, 0);
    pbfdaf32fSetCoef(&f, v, 0, 4, 0);
  });
  pbfdaf32fFree(&f);
}

TEST(Pbfdaf, AllocationFailuresLeaveNothingBehind) {
  TableSet tables(64);
  quolmPbfdaf f;
  expectAllocFailuresClean(
      [&] {
        return pbfdaf32fInit(&f, 8, 8, 3, DT32F(0.1), 1, tables.w(),
                             tables.t());
      },
      [&](DT32S) { EXPECT_EQ(f.length, 0); }, [&] { pbfdaf32fFree(&f); });

  ASSERT_EQ(pbfdaf32fInit(&f, 8, 8, 3, DT32F(0.1), 1, tables.w(), tables.t()),
            0);
  const quolmPbfdaf before = f;
  expectAllocFailuresClean(
      [&] { return pbfdaf32fResize(&f, 16, 8, 2); },
      [&](DT32S) { EXPECT_EQ(memcmp(&before, &f, sizeof f), 0); },
      [&] {
        EXPECT_EQ(f.length, 16);
        pbfdaf32fFree(&f);
      });
}

extern "C" int cSmokeFdaf(void);

TEST(Pbfdaf, HeadersWorkFromC) { EXPECT_EQ(cSmokeFdaf(), 0); }
