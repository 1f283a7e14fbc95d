// SPDX-License-Identifier: MIT
// LMS adaptive transversal filter: four laws, circular and LC forms.
#include "reftransversal32f.h"

namespace {

typedef DT32F (*Update)(quolmLms *, DT32F, DT32F);
typedef DT32F (*LCUpdate)(quolmLms *, DT32F);

struct Law {
  const char *name;
  Update update;
  LCUpdate lcUpdate;
  bool signErr, signReg;
};

const Law kLaws[] = {
    {"plain", lms32fFilterUpdate, lms32fLCFilterUpdate, false, false},
    {"sign error", lms32fFilterUpdateSignErr, lms32fLCFilterUpdateSignErr, true,
     false},
    {"sign regressor", lms32fFilterUpdateSignReg, lms32fLCFilterUpdateSignReg,
     false, true},
    {"sign-sign", lms32fFilterUpdateSignSign, lms32fLCFilterUpdateSignSign, true,
     true},
};

Vec coefs(quolmLms &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

Vec history(quolmLms &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(lms32fGetDelayLine(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

}  // namespace

TEST(Lms, EveryLawMatchesTheReferenceExactly) {
  for (const Law &law : kLaws) {
    Rng rng(5);
    const DT32S n = 13;
    const DT32F mu = DT32F(0.05);
    quolmLms f;
    ASSERT_EQ(lms32fInit(&f, n, mu), 0);
    RefTransversal ref{size_t(n)};
    for (int i = 0; i < 200; ++i) {
      const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
      ref.push(x);
      const double y = ref.output(), e = double(d) - y;
      const double step = law.signErr ? (e >= 0 ? 1.0 : -1.0) : e;
      ref.adapt(DT32F(double(mu) * step), law.signReg);
      ASSERT_EQ(law.update(&f, x, d), DT32F(y)) << law.name << " sample " << i;
      ASSERT_EQ(f.err, DT32F(e)) << law.name;
    }
    EXPECT_EQ(coefs(f), ref.w) << law.name;
    lms32fFree(&f);
  }
}

TEST(Lms, LCFormsEqualTheCircularForms) {
  for (const Law &law : kLaws) {
    Rng rng(8);
    const DT32S n = 9;
    quolmLms circ, lc;
    Vec lcCoefs(9), lcInput(9);
    ASSERT_EQ(lms32fInit(&circ, n, DT32F(0.1)), 0);
    ASSERT_EQ(lms32fInitStatic(&lc, n, DT32F(0.1), lcCoefs.data(),
                               lcInput.data()), 0);
    for (int i = 0; i < 100; ++i) {
      const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
      insertSampleLinBuf32f(x, lcInput.data(), n);
      const Vec input = lcInput;
      ASSERT_EQ(law.lcUpdate(&lc, d), law.update(&circ, x, d)) << law.name;
      ASSERT_EQ(lc.err, circ.err);
      ASSERT_EQ(lcInput, input) << "LC forms never write the input vector";
    }
    EXPECT_EQ(lcCoefs, coefs(circ)) << law.name;
    EXPECT_EQ(lc.index, n - 1);
    insertSampleLinBuf32f(DT32F(0.25), lcInput.data(), n);
    EXPECT_EQ(lms32fLCFilterOnly(&lc), lms32fFilterOnly(&circ, DT32F(0.25)));
    lms32fFree(&circ);
  }
}

TEST(Lms, SmallCasesOfTheLaws) {
  quolmLms f;
  ASSERT_EQ(lms32fInit(&f, 1, DT32F(0.5)), 0);
  EXPECT_EQ(lms32fFilterUpdate(&f, 2, 1), DT32F(0));  // output before update
  EXPECT_EQ(f.err, DT32F(1));
  EXPECT_EQ(coefs(f), (Vec{1}));
  lms32fFree(&f);

  // A zero error counts as positive: the sign-error law still moves by mu*x.
  ASSERT_EQ(lms32fInit(&f, 2, DT32F(0.25)), 0);
  EXPECT_EQ(lms32fFilterUpdateSignErr(&f, 2, 0), DT32F(0));
  EXPECT_EQ(coefs(f), (Vec{0.5, 0}));
  EXPECT_EQ(f.err, DT32F(0));
  // A zero input counts as positive for the sign-regressor law.
  lms32fReset(&f);
  EXPECT_EQ(lms32fFilterUpdateSignReg(&f, 0, 2), DT32F(0));
  EXPECT_EQ(coefs(f), (Vec{0.5, 0.5}));  // g = 0.25*2 on both taps (x = 2, 0)
  lms32fReset(&f);
  EXPECT_EQ(lms32fFilterUpdateSignSign(&f, -1, -3), DT32F(0));
  EXPECT_EQ(coefs(f), (Vec{0.25, -0.25}));  // sign(e) = -1, taps -1 and 0
  lms32fFree(&f);
}

TEST(Lms, FilterOnlyAndResetKeepWhatTheyShould) {
  quolmLms f;
  ASSERT_EQ(lms32fInit(&f, 3, DT32F(0.1)), 0);
  lms32fFilterUpdate(&f, 1, 2);
  const DT32F err = f.err;
  const Vec w = coefs(f);
  lms32fFilterOnly(&f, 5);
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(coefs(f), w);
  EXPECT_EQ(history(f), (Vec{5, 1, 0}));
  EXPECT_EQ(lms32fReset(&f), 0);
  EXPECT_EQ(coefs(f), Vec(3, DT32F(0)));
  EXPECT_EQ(history(f), (Vec{5, 1, 0}));  // the input history stays
  Vec one = {1};
  lms32fSetCoef(&f, one.data(), 1, 1, 0);
  EXPECT_EQ(lms32fFilterOnly(&f, 0), DT32F(5));  // 5 is now one step back
  const DT32S index = f.index;
  EXPECT_EQ(lms32fResetDelayLine(&f), 0);
  EXPECT_EQ(f.index, index);
  EXPECT_EQ(history(f), Vec(3, DT32F(0)));
  lms32fFree(&f);
  EXPECT_EQ(lms32fReset(&f), -1);
  EXPECT_EQ(lms32fResetDelayLine(&f), -1);
}

TEST(Lms, CopyRulesAndCodes) {
  quolmLms f;
  EXPECT_EQ(lms32fInit(&f, 0, 1), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(lms32fInit(nullptr, 4, 1), -1);
  Vec buf(5, DT32F(3));
  EXPECT_EQ(lms32fInitStatic(&f, 0, 1, nullptr, nullptr), -2);
  EXPECT_EQ(lms32fInitStatic(&f, 5, 1, buf.data(), nullptr), -1);
  EXPECT_EQ(f.length, 0);
  ASSERT_EQ(lms32fInit(&f, 5, 1), 0);
  Vec w = {0, 1, 2, 3, 4}, v(5, DT32F(-1));
  ASSERT_EQ(lms32fSetCoef(&f, w.data(), 0, 5, 0), 5);
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 4, 100, 0), 1);
  EXPECT_EQ(v[0], DT32F(4));
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 5, 1, 0), -2);
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), -1, 1, 0), -2);
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 0, 0, 0), -2);
  EXPECT_EQ(lms32fGetCoef(&f, nullptr, 0, 0, 0), -1);  // null is checked first
  EXPECT_EQ(lms32fGetCoef(nullptr, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 2, 3, 1), 3);
  EXPECT_EQ(Vec(v.begin(), v.begin() + 3), (Vec{4, 3, 2}));
  Vec in = {7, 8, 9};
  EXPECT_EQ(lms32fSetDelayLine(&f, in.data(), 0, 3, 0), 3);
  EXPECT_EQ(lms32fGetDelayLine(&f, v.data(), 0, 3, 0), 3);
  EXPECT_EQ(Vec(v.begin(), v.begin() + 3), in);
  EXPECT_EQ(lms32fGetDelayLine(&f, v.data(), 3, 3, 1), 2);
  EXPECT_EQ(Vec(v.begin(), v.begin() + 2), (Vec{0, 0}));
  expectCopyExtremes(&f, 5, {lms32fGetCoef, lms32fSetCoef, lms32fGetDelayLine,
                             lms32fSetDelayLine});
  lms32fFree(&f);
  EXPECT_EQ(lms32fGetCoef(&f, v.data(), 0, 1, 0), -1);
}

TEST(Lms, ResizeKeepsLeadingCoefficientsAndNewestSamples) {
  quolmLms f;
  ASSERT_EQ(lms32fInit(&f, 8, DT32F(0.01)), 0);
  Vec w = {1, 2, 3, 4, 5, 6, 7, 8};
  lms32fSetCoef(&f, w.data(), 0, 8, 0);
  for (int i = 1; i <= 10; ++i) lms32fFilterOnly(&f, DT32F(i));
  EXPECT_EQ(lms32fResize(&f, 8), 0);
  EXPECT_EQ(lms32fResize(&f, 0), -2);
  EXPECT_EQ(coefs(f), w);
  ASSERT_EQ(lms32fResize(&f, 4), 0);
  EXPECT_EQ(f.index, 3);
  EXPECT_EQ(f.mu, DT32F(0.01));
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3, 4}));
  EXPECT_EQ(history(f), (Vec{10, 9, 8, 7}));
  ASSERT_EQ(lms32fResize(&f, 6), 0);
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(history(f), (Vec{10, 9, 8, 7, 0, 0}));
  // The resized filter goes on as if it had always had this length.
  EXPECT_EQ(lms32fFilterOnly(&f, 11), DT32F(11 + 2 * 10 + 3 * 9 + 4 * 8));
  lms32fFree(&f);
}

TEST(Lms, IdentifiesAnUnknownSystem) {
  Rng rng(21);
  Vec plant = rng.vec(16, 0.5);
  quolmFir sys;
  quolmLms f;
  ASSERT_EQ(fir32fInit(&sys, 16, plant.data()), 0);
  ASSERT_EQ(lms32fInit(&f, 16, DT32F(0.05)), 0);
  double errPower = 0, desPower = 0;
  for (int i = 0; i < 20000; ++i) {
    const DT32F x = DT32F(rng.sym());
    const DT32F d = fir32fFilter(&sys, x);
    lms32fFilterUpdate(&f, x, d);
    if (i >= 19000) {
      errPower += double(f.err) * f.err;
      desPower += double(d) * d;
    }
  }
  const double level = dB(errPower, desPower);
  EXPECT_LT(level, sizeof(DT32F) == 4 ? -100 : -200) << "reached " << level << " dB";
  lms32fFree(&f);
  fir32fFree(&sys);
}

TEST(Lms, AllocatesOnlyInInitAndResize) {
  quolmLms f;
  expectAllocFailuresClean([&] { return lms32fInit(&f, 64, 1); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { lms32fFree(&f); });
  ASSERT_EQ(lms32fInit(&f, 16, DT32F(0.5)), 0);
  lms32fFilterUpdate(&f, 1, 1);
  const Vec w = coefs(f), h = history(f);
  expectAllocFailuresClean([&] { return lms32fResize(&f, 24); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 16);
                             EXPECT_EQ(coefs(f), w);
                             EXPECT_EQ(history(f), h);
                           },
                           [&] { lms32fFree(&f); });
  ASSERT_EQ(lms32fInit(&f, 16, DT32F(0.5)), 0);
  expectNoAllocation([&] {
    for (const Law &law : kLaws) {
      law.update(&f, 1, 2);
      law.lcUpdate(&f, 2);
    }
    lms32fFilterOnly(&f, 1);
    lms32fLCFilterOnly(&f);
  });
  lms32fFree(&f);
}
