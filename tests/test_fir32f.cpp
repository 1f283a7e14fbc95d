// SPDX-License-Identifier: MIT
// Fixed FIR filter.
#include "reftransversal32f.h"

namespace {

Vec delayLine(quolmFir &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(fir32fGetDelayLine(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

}  // namespace

TEST(Fir, ImpulseResponseAndCallerOwnedCoefficients) {
  Vec c = {1, 0.5};
  quolmFir f;
  ASSERT_EQ(fir32fInit(&f, 2, c.data()), 0);
  EXPECT_EQ(f.index, 1);
  EXPECT_EQ(fir32fFilter(&f, 1), DT32F(1));
  EXPECT_EQ(fir32fFilter(&f, 0), DT32F(0.5));
  EXPECT_EQ(fir32fFilter(&f, 0), DT32F(0));
  c[0] = 3;  // the filter reads the caller's array at every sample
  EXPECT_EQ(fir32fFilter(&f, 1), DT32F(3));
  Vec two = {2};
  EXPECT_EQ(fir32fSetCoef(&f, two.data(), 1, 1, 0), 1);
  EXPECT_EQ(c[1], DT32F(2));  // and SetCoef writes into it
  fir32fFree(&f);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(c, (Vec{3, 2}));
}

TEST(Fir, OutputsAreIndexOrderSumsOfTheHistory) {
  Rng rng(11);
  for (DT32S n : {1, 5, 16, 33}) {
    Vec c = rng.vec(size_t(n));
    quolmFir f;
    ASSERT_EQ(fir32fInit(&f, n, c.data()), 0);
    RefTransversal ref{size_t(n)};
    ref.w = c;
    for (int i = 0; i < 3 * n + 5; ++i) {
      const DT32F x = DT32F(rng.sym());
      ref.push(x);
      ASSERT_EQ(fir32fFilter(&f, x), DT32F(ref.output())) << "N " << n;
    }
    fir32fFree(&f);
  }
}

TEST(Fir, CircularSumStartsAtTheWriteSlotAndWraps) {
  Vec c = {1, 10, 100, 1000}, buf(4);
  quolmFir f;
  ASSERT_EQ(fir32fInitStatic(&f, 4, c.data(), buf.data()), 0);
  buf = {4, 5, 6, 7};  // physical slots 0..3
  f.index = 2;
  // x lands in slot 2; slots 2, 3, 0, 1 meet coefficients 0, 1, 2, 3.
  EXPECT_EQ(fir32fFilter(&f, 9), DT32F(9 + 70 + 400 + 5000));
  EXPECT_EQ(f.index, 1);
  f.index = 0;
  EXPECT_EQ(fir32fFilter(&f, 2), DT32F(2 + 10 * 5 + 100 * 9 + 1000 * 7));
  EXPECT_EQ(f.index, 3);
}

TEST(Fir, BlockEqualsSampleBySampleAlsoInPlace) {
  Rng rng(3);
  for (DT32S n : {1, 7, 16, 17, 64, 100}) {
    Vec c = rng.vec(size_t(n));
    Vec x = rng.vec(300);
    quolmFir a, b, p;
    ASSERT_EQ(fir32fInit(&a, n, c.data()), 0);
    ASSERT_EQ(fir32fInit(&b, n, c.data()), 0);
    ASSERT_EQ(fir32fInit(&p, n, c.data()), 0);
    Vec want(x.size()), got(x.size()), inPlace = x;
    for (size_t i = 0; i < x.size(); ++i) want[i] = fir32fFilter(&a, x[i]);
    size_t at = 0;
    for (DT32S len : {1, 8, 64, 3, 100, 9, 115}) {  // odd splits on purpose
      ASSERT_EQ(fir32fBlockFilter(&b, &x[at], &got[at], len), 0);
      ASSERT_EQ(fir32fBlockFilter(&p, &inPlace[at], &inPlace[at], len), 0);
      at += size_t(len);
    }
    ASSERT_EQ(at, x.size());
    EXPECT_EQ(got, want) << "N " << n;
    EXPECT_EQ(inPlace, want) << "N " << n;
    EXPECT_EQ(b.index, a.index);
    EXPECT_EQ(delayLine(b), delayLine(a));
    fir32fFree(&a);
    fir32fFree(&b);
    fir32fFree(&p);
  }
}

TEST(Fir, BlockCodesAndLCForm) {
  Vec c = {1, 0, 0}, buf(3), x = {1, 2};
  quolmFir f;
  ASSERT_EQ(fir32fInitStatic(&f, 3, c.data(), buf.data()), 0);
  EXPECT_EQ(fir32fBlockFilter(&f, x.data(), nullptr, 2), -1);
  EXPECT_EQ(fir32fBlockFilter(&f, nullptr, x.data(), 2), -1);
  EXPECT_EQ(fir32fBlockFilter(&f, x.data(), x.data(), 0), 0);
  EXPECT_EQ(buf, (Vec{0, 0, 0}));
  EXPECT_EQ(f.index, 2);
  for (DT32F s : {1, 2, 3}) insertSampleLinBuf32f(s, buf.data(), 3);
  EXPECT_EQ(fir32fLCFilter(&f), DT32F(3));
  c = {0, 0, 1};
  EXPECT_EQ(fir32fLCFilter(&f), DT32F(1));
  EXPECT_EQ(f.index, 2);
  EXPECT_EQ(buf, (Vec{3, 2, 1}));
}

TEST(Fir, InitChecksLengthFirstThenPointers) {
  Vec c(3), buf(3, DT32F(5));
  quolmFir f;
  f.length = 9;
  EXPECT_EQ(fir32fInit(&f, 0, nullptr), -2);
  EXPECT_EQ(f.length, 0);
  f.length = 9;
  EXPECT_EQ(fir32fInit(&f, 3, nullptr), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(fir32fInitStatic(&f, -1, c.data(), buf.data()), -2);
  EXPECT_EQ(fir32fInitStatic(&f, 3, c.data(), nullptr), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(fir32fInit(nullptr, 3, c.data()), -1);
  EXPECT_EQ(fir32fInitStatic(&f, 3, c.data(), buf.data()), 0);
  EXPECT_EQ(buf, Vec(3, DT32F(0)));
  EXPECT_EQ(fir32fResetDelayLine(nullptr), -1);
  EXPECT_EQ(fir32fGetCoef(nullptr, c.data(), 0, 1, 0), -1);
  EXPECT_EQ(fir32fResize(nullptr, 2), -1);
}

TEST(Fir, DelayLineCopiesByAge) {
  Vec c(4, DT32F(0));
  quolmFir f;
  ASSERT_EQ(fir32fInit(&f, 4, c.data()), 0);
  for (DT32F s : {1, 2, 3}) fir32fFilter(&f, s);
  Vec v(4);
  EXPECT_EQ(fir32fGetDelayLine(&f, v.data(), 0, 4, 0), 4);
  EXPECT_EQ(v, (Vec{3, 2, 1, 0}));
  EXPECT_EQ(fir32fGetDelayLine(&f, v.data(), 0, 4, 1), 4);
  EXPECT_EQ(v, (Vec{0, 1, 2, 3}));
  Vec in = {9, 8, 7, 6};
  EXPECT_EQ(fir32fSetDelayLine(&f, in.data(), 1, 9, 1), 3);  // ages 1..3
  EXPECT_EQ(fir32fGetDelayLine(&f, v.data(), 0, 4, 0), 4);
  EXPECT_EQ(v, (Vec{3, 7, 8, 9}));
  c = {0, 1, 0, 0};  // the next output reads the sample one step back
  EXPECT_EQ(fir32fFilter(&f, 5), DT32F(3));
  const DT32S index = f.index;
  EXPECT_EQ(fir32fResetDelayLine(&f), 0);
  EXPECT_EQ(f.index, index);
  EXPECT_EQ(delayLine(f), Vec(4, DT32F(0)));
  expectCopyExtremes(&f, 4, {fir32fGetCoef, fir32fSetCoef, fir32fGetDelayLine,
                             fir32fSetDelayLine});
  fir32fFree(&f);
  EXPECT_EQ(fir32fResetDelayLine(&f), -1);  // freed: no buffer to touch
}

TEST(Fir, ResizeKeepsNewestSamplesAndZeroesGrownCoefficients) {
  Vec c = {1, 2, 3, 4, 5, 6};
  quolmFir f;
  ASSERT_EQ(fir32fInit(&f, 4, c.data()), 0);
  for (DT32F s : {1, 2, 3, 4, 5}) fir32fFilter(&f, s);
  EXPECT_EQ(fir32fResize(&f, 4), 0);
  EXPECT_EQ(fir32fResize(&f, 0), -2);
  EXPECT_EQ(f.length, 4);
  EXPECT_EQ(fir32fResize(&f, 2), 0);
  EXPECT_EQ(f.length, 2);
  EXPECT_EQ(f.index, 1);
  EXPECT_EQ(delayLine(f), (Vec{5, 4}));
  EXPECT_EQ(c, (Vec{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(fir32fResize(&f, 5), 0);
  EXPECT_EQ(delayLine(f), (Vec{5, 4, 0, 0, 0}));
  EXPECT_EQ(c, (Vec{1, 2, 0, 0, 0, 6}));
  EXPECT_EQ(fir32fFilter(&f, 1), DT32F(1 + 2 * 5));
  fir32fFree(&f);
}

TEST(Fir, AllocatesOnlyInInitAndResize) {
  Vec c(64, DT32F(0.25)), x(64), y(64);
  quolmFir f;
  expectAllocFailuresClean([&] { return fir32fInit(&f, 64, c.data()); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { fir32fFree(&f); });
  ASSERT_EQ(fir32fInit(&f, 32, c.data()), 0);
  fir32fFilter(&f, 1);
  const Vec before = delayLine(f);
  expectAllocFailuresClean([&] { return fir32fResize(&f, 48); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 32);
                             EXPECT_EQ(delayLine(f), before);
                           },
                           [&] { fir32fFree(&f); });
  ASSERT_EQ(fir32fInit(&f, 32, c.data()), 0);
  expectNoAllocation([&] {
    fir32fFilter(&f, 1);
    fir32fLCFilter(&f);
    fir32fBlockFilter(&f, x.data(), y.data(), 64);
  });
  fir32fFree(&f);
}
