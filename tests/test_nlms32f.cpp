// SPDX-License-Identifier: MIT
// Normalised LMS adaptive transversal filter.
#include "reftransversal32f.h"

namespace {

Vec coefs(quolmNlms &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(nlms32fGetCoef(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

Vec history(quolmNlms &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(nlms32fGetDelayLine(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

// The library's smoothing constants, by build.
const double kGain = double(DT32F(0.01)), kKeep = double(DT32F(0.99)),
             kReg = double(DT32F(1e-12));

}  // namespace

TEST(Nlms, MatchesTheReferenceExactly) {
  Rng rng(17);
  const DT32S n = 11;
  const DT32F mu = DT32F(0.3);
  quolmNlms f;
  ASSERT_EQ(nlms32fInit(&f, n, mu), 0);
  EXPECT_EQ(f.power, DT32F(1));
  RefTransversal ref{size_t(n)};
  DT32F power = 1;
  for (int i = 0; i < 300; ++i) {
    const DT32F x = DT32F(3 * rng.sym()), d = DT32F(rng.sym());
    ref.push(x);
    const double y = ref.output(), e = double(d) - y;
    power = DT32F(double(x) * double(x) * kGain + double(power) * kKeep);
    ref.adapt(DT32F(double(mu) * e / (double(power) + kReg)), false);
    ASSERT_EQ(nlms32fFilterUpdate(&f, x, d), DT32F(y)) << "sample " << i;
    ASSERT_EQ(f.err, DT32F(e));
    ASSERT_EQ(f.power, power);
  }
  EXPECT_EQ(coefs(f), ref.w);
  nlms32fFree(&f);
}

TEST(Nlms, FirstStepAndPowerDecay) {
  quolmNlms f;
  ASSERT_EQ(nlms32fInit(&f, 1, 1), 0);
  EXPECT_EQ(nlms32fFilterUpdate(&f, 1, 1), DT32F(0));
  EXPECT_EQ(f.power, DT32F(kGain + kKeep));
  EXPECT_NEAR(coefs(f)[0], 1.0, 1e-6);
  DT32F last = f.power;
  for (int i = 0; i < 5000; ++i) {
    nlms32fFilterOnly(&f, 0);
    ASSERT_LE(f.power, last);
    ASSERT_GE(f.power, DT32F(0));
    last = f.power;
  }
  EXPECT_LT(f.power, DT32F(1e-20));
  // A vanished estimate still gives a finite step thanks to the regulariser.
  f.power = 0;
  nlms32fFilterUpdate(&f, 0, 1);
  EXPECT_TRUE(isfinite(coefs(f)[0]));
  nlms32fFree(&f);
}

TEST(Nlms, FilterOnlyTracksPowerButNotCoefficients) {
  quolmNlms f;
  ASSERT_EQ(nlms32fInit(&f, 2, DT32F(0.5)), 0);
  nlms32fFilterUpdate(&f, 1, 1);
  const DT32F err = f.err, power = f.power;
  const Vec w = coefs(f);
  nlms32fFilterOnly(&f, 2);
  EXPECT_EQ(coefs(f), w);
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(f.power, DT32F(4 * kGain + double(power) * kKeep));
  EXPECT_EQ(history(f), (Vec{2, 1}));
  // Reset and ResetDelayLine leave the estimate alone.
  EXPECT_EQ(nlms32fReset(&f), 0);
  EXPECT_EQ(nlms32fResetDelayLine(&f), 0);
  EXPECT_EQ(coefs(f), Vec(2, DT32F(0)));
  EXPECT_EQ(history(f), Vec(2, DT32F(0)));
  EXPECT_NE(f.power, DT32F(1));
  nlms32fFree(&f);
  EXPECT_EQ(nlms32fReset(&f), -1);
  EXPECT_EQ(nlms32fResetDelayLine(nullptr), -1);
}

TEST(Nlms, LCFormsEqualTheCircularFormsAndReadOnlyElementZeroForPower) {
  Rng rng(4);
  const DT32S n = 6;
  quolmNlms circ, lc;
  Vec lcCoefs(6), lcInput(6);
  ASSERT_EQ(nlms32fInit(&circ, n, DT32F(0.2)), 0);
  ASSERT_EQ(nlms32fInitStatic(&lc, n, DT32F(0.2), lcCoefs.data(),
                              lcInput.data()), 0);
  for (int i = 0; i < 100; ++i) {
    const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
    insertSampleLinBuf32f(x, lcInput.data(), n);
    ASSERT_EQ(nlms32fLCFilterUpdate(&lc, d), nlms32fFilterUpdate(&circ, x, d));
    ASSERT_EQ(lc.power, circ.power);
  }
  EXPECT_EQ(lcCoefs, coefs(circ));
  insertSampleLinBuf32f(1, lcInput.data(), n);
  EXPECT_EQ(nlms32fLCFilterOnly(&lc), nlms32fFilterOnly(&circ, 1));
  EXPECT_EQ(lc.power, circ.power);
  EXPECT_EQ(lc.index, n - 1);
  // Elements other than 0 do not enter the power estimate.
  const DT32F power = lc.power;
  for (DT32S k = 1; k < n; ++k) lcInput[size_t(k)] = 1000;
  lcInput[0] = 0;
  nlms32fLCFilterOnly(&lc);
  EXPECT_EQ(lc.power, DT32F(double(power) * kKeep));
  nlms32fFree(&circ);
}

TEST(Nlms, ResizeCarriesCoefficientsHistoryAndPower) {
  quolmNlms f;
  ASSERT_EQ(nlms32fInit(&f, 5, DT32F(0.1)), 0);
  Vec w = {1, 2, 3, 4, 5};
  nlms32fSetCoef(&f, w.data(), 0, 5, 0);
  for (int i = 1; i <= 7; ++i) nlms32fFilterOnly(&f, DT32F(i));
  const DT32F power = f.power;
  EXPECT_EQ(nlms32fResize(&f, 5), 0);
  EXPECT_EQ(nlms32fResize(&f, -3), -2);
  ASSERT_EQ(nlms32fResize(&f, 3), 0);
  EXPECT_EQ(f.power, power);
  EXPECT_EQ(f.mu, DT32F(0.1));
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3}));
  EXPECT_EQ(history(f), (Vec{7, 6, 5}));
  ASSERT_EQ(nlms32fResize(&f, 4), 0);
  EXPECT_EQ(history(f), (Vec{7, 6, 5, 0}));
  EXPECT_EQ(f.power, power);
  nlms32fFree(&f);
}

TEST(Nlms, CodesAndCopies) {
  quolmNlms f;
  Vec buf(3, DT32F(9)), v(3);
  EXPECT_EQ(nlms32fInit(&f, -1, 1), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(nlms32fInitStatic(&f, 3, 1, nullptr, buf.data()), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(nlms32fInitStatic(&f, 3, 1, buf.data(), buf.data()), 0);
  EXPECT_EQ(buf, Vec(3, DT32F(0)));
  EXPECT_EQ(f.power, DT32F(1));
  EXPECT_EQ(nlms32fGetCoef(&f, v.data(), 3, 1, 0), -2);
  EXPECT_EQ(nlms32fSetDelayLine(&f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(nlms32fGetDelayLine(nullptr, v.data(), 0, 1, 0), -1);
  expectCopyExtremes(&f, 3, {nlms32fGetCoef, nlms32fSetCoef, nlms32fGetDelayLine,
                             nlms32fSetDelayLine});
  EXPECT_EQ(nlms32fResize(nullptr, 2), -1);
}

TEST(Nlms, IdentifiesAnUnknownSystemWhateverTheInputLevel) {
  for (double level : {0.01, 1.0, 100.0}) {
    Rng rng(33);
    Vec plant = rng.vec(16, 0.5);
    quolmFir sys;
    quolmNlms f;
    ASSERT_EQ(fir32fInit(&sys, 16, plant.data()), 0);
    ASSERT_EQ(nlms32fInit(&f, 16, DT32F(0.02)), 0);
    double errPower = 0, desPower = 0;
    for (int i = 0; i < 20000; ++i) {
      const DT32F x = DT32F(level * rng.sym());
      const DT32F d = fir32fFilter(&sys, x);
      nlms32fFilterUpdate(&f, x, d);
      if (i >= 19000) {
        errPower += double(f.err) * f.err;
        desPower += double(d) * d;
      }
    }
    const double reached = dB(errPower, desPower);
    EXPECT_LT(reached, -90) << "input level " << level << ": " << reached << " dB";
    nlms32fFree(&f);
    fir32fFree(&sys);
  }
}

TEST(Nlms, AllocatesOnlyInInitAndResize) {
  quolmNlms f;
  expectAllocFailuresClean([&] { return nlms32fInit(&f, 32, 1); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { nlms32fFree(&f); });
  ASSERT_EQ(nlms32fInit(&f, 8, DT32F(0.5)), 0);
  nlms32fFilterUpdate(&f, 1, 1);
  const Vec w = coefs(f), h = history(f);
  const DT32F power = f.power;
  expectAllocFailuresClean([&] { return nlms32fResize(&f, 4); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 8);
                             EXPECT_EQ(coefs(f), w);
                             EXPECT_EQ(history(f), h);
                             EXPECT_EQ(f.power, power);
                           },
                           [&] { nlms32fFree(&f); });
  ASSERT_EQ(nlms32fInit(&f, 8, DT32F(0.5)), 0);
  expectNoAllocation([&] {
    nlms32fFilterUpdate(&f, 1, 2);
    nlms32fFilterOnly(&f, 1);
    nlms32fLCFilterUpdate(&f, 1);
    nlms32fLCFilterOnly(&f);
  });
  nlms32fFree(&f);
}
