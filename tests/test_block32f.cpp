// SPDX-License-Identifier: MIT
// Block LMS and block NLMS filters: blocks against single steps, the update
// laws, the power estimate, copies, resize and codes.
#include "reftransversal32f.h"

extern "C" int cSmokeBlock(void);

namespace {

typedef DT32S (*BlockUpdate)(quolmBlms *, const DT32F *, const DT32F *, DT32F *,
                             DT32F *);
typedef DT32F (*LmsUpdate)(quolmLms *, DT32F, DT32F);

struct BlockLaw {
  const char *name;
  BlockUpdate block;
  LmsUpdate single;
};

const BlockLaw kBlockLaws[] = {
    {"plain", blms32fFilterUpdate, lms32fFilterUpdate},
    {"sign error", blms32fFilterUpdateSignErr, lms32fFilterUpdateSignErr},
    {"sign regressor", blms32fFilterUpdateSignReg, lms32fFilterUpdateSignReg},
    {"sign-sign", blms32fFilterUpdateSignSign, lms32fFilterUpdateSignSign},
};

template <class R, class Get>
Vec readAll(R &f, Get get) {
  Vec v(size_t(f.length));
  EXPECT_EQ(get(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

Vec coefs(quolmBlms &f) { return readAll(f, blms32fGetCoef); }
Vec history(quolmBlms &f) { return readAll(f, blms32fGetDelayLine); }
Vec coefs(quolmBnlms &f) { return readAll(f, bnlms32fGetCoef); }
Vec history(quolmBnlms &f) { return readAll(f, bnlms32fGetDelayLine); }

}  // namespace

TEST(Blms, ABlockEqualsSingleLmsStepsInEveryLaw) {
  for (const BlockLaw &law : kBlockLaws) {
    Rng rng(3);
    const DT32S n = 11, L = 5;
    quolmBlms b;
    quolmLms s;
    ASSERT_EQ(blms32fInit(&b, n, L, DT32F(0.05)), 0);
    ASSERT_EQ(lms32fInit(&s, n, DT32F(0.05)), 0);
    Vec y(L), e(L);
    for (int blk = 0; blk < 40; ++blk) {
      const Vec x = rng.vec(L), d = rng.vec(L);
      ASSERT_EQ(law.block(&b, x.data(), d.data(), y.data(), e.data()), 0);
      for (DT32S i = 0; i < L; ++i) {
        ASSERT_EQ(y[i], law.single(&s, x[i], d[i])) << law.name;
        ASSERT_EQ(e[i], s.err) << law.name << " block " << blk;
      }
    }
    EXPECT_EQ(coefs(b), readAll(s, lms32fGetCoef)) << law.name;
    EXPECT_EQ(history(b), readAll(s, lms32fGetDelayLine)) << law.name;
    // Filtering alone moves the delay line the same way.
    const Vec x = rng.vec(L);
    ASSERT_EQ(blms32fFilterOnly(&b, x.data(), y.data()), 0);
    for (DT32S i = 0; i < L; ++i) EXPECT_EQ(y[i], lms32fFilterOnly(&s, x[i]));
    EXPECT_EQ(history(b), readAll(s, lms32fGetDelayLine));
    blms32fFree(&b);
    lms32fFree(&s);
  }
}

TEST(Blms, ZeroErrorAndZeroInputCountAsPositive) {
  // Zero coefficients and d = 0 make the error exactly 0; the regressor is
  // x = 2 followed by the older samples 0 and -3.
  Vec older = {0, -3}, x = {2}, d = {0};
  const DT32F mu = DT32F(0.25);
  struct Case {
    BlockUpdate update;
    Vec expected;
  } cases[] = {
      {blms32fFilterUpdate, {0, 0, 0}},
      {blms32fFilterUpdateSignReg, {0, 0, 0}},
      {blms32fFilterUpdateSignErr, {0.5, 0, -0.75}},       // mu * u[j]
      {blms32fFilterUpdateSignSign, {0.25, 0.25, -0.25}},  // mu * sign(u[j])
  };
  for (const Case &c : cases) {
    quolmBlms f;
    ASSERT_EQ(blms32fInit(&f, 3, 1, mu), 0);
    ASSERT_EQ(blms32fSetDelayLine(&f, older.data(), 0, 2, 0), 2);
    Vec y(1), e(1, DT32F(9));
    ASSERT_EQ(c.update(&f, x.data(), d.data(), y.data(), e.data()), 0);
    EXPECT_EQ(e[0], DT32F(0));
    EXPECT_EQ(coefs(f), c.expected);
    blms32fFree(&f);
  }
}

TEST(Blms, IdentifiesAnUnknownSystemBlockByBlock) {
  Rng rng(44);
  Vec plant = rng.vec(16, 0.5);
  quolmFir sys;
  quolmBlms f;
  ASSERT_EQ(fir32fInit(&sys, 16, plant.data()), 0);
  ASSERT_EQ(blms32fInit(&f, 16, 32, DT32F(0.05)), 0);
  Vec d(32), y(32), e(32);
  double errPower = 0, desPower = 0;
  for (int blk = 0; blk < 500; ++blk) {
    const Vec x = rng.vec(32);
    fir32fBlockFilter(&sys, x.data(), d.data(), 32);
    blms32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data());
    for (int i = 0; blk >= 450 && i < 32; ++i) {
      errPower += double(e[i]) * e[i];
      desPower += double(d[i]) * d[i];
    }
  }
  const double level = dB(errPower, desPower);
  EXPECT_LT(level, sizeof(DT32F) == 4 ? -100 : -200)
      << "reached " << level << " dB";
  blms32fFree(&f);
  fir32fFree(&sys);
}

TEST(Blms, CodesAndCheckOrder) {
  quolmBlms f;
  Vec buf(4), x(4), y(4);
  EXPECT_EQ(blms32fInit(nullptr, 4, 4, 1), -1);
  EXPECT_EQ(blms32fInit(&f, 0, 4, 1), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(blms32fInit(&f, 4, 0, 1), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(blms32fInitStatic(&f, 4, 0, 1, nullptr, buf.data()), -2);
  EXPECT_EQ(blms32fInitStatic(&f, 4, 4, 1, nullptr, buf.data()), -1);
  EXPECT_EQ(f.length, 0);
  Vec coefBuf(4, DT32F(7)), stateBuf(4, DT32F(7));
  ASSERT_EQ(
      blms32fInitStatic(&f, 4, 2, DT32F(0.5), coefBuf.data(), stateBuf.data()),
      0);
  EXPECT_EQ(coefBuf, Vec(4, DT32F(0)));
  EXPECT_EQ(stateBuf, Vec(4, DT32F(0)));
  EXPECT_EQ(f.index, 0);
  EXPECT_EQ(f.blockLen, 2);
  EXPECT_EQ(blms32fFilterOnly(&f, nullptr, y.data()), -1);
  EXPECT_EQ(blms32fFilterUpdate(&f, x.data(), nullptr, y.data(), y.data()), -1);
  EXPECT_EQ(
      blms32fFilterUpdate(nullptr, x.data(), x.data(), y.data(), y.data()), -1);
  f.blockLen = 0;  // nothing to do: 0, nothing touched
  EXPECT_EQ(blms32fFilterOnly(&f, x.data(), y.data()), 0);
  EXPECT_EQ(f.index, 0);
  f.coefs = nullptr;
  EXPECT_EQ(blms32fFilterOnly(&f, x.data(), y.data()), -1);
  EXPECT_EQ(blms32fReset(&f), -1);
  EXPECT_EQ(blms32fGetCoef(&f, x.data(), 0, 1, 0), -1);

  ASSERT_EQ(blms32fInit(&f, 4, 1, 1), 0);
  EXPECT_EQ(history(f), Vec(4, DT32F(0)));
  Vec a = {5};
  blms32fFilterOnly(&f, a.data(), y.data());
  EXPECT_EQ(history(f), (Vec{5, 0, 0, 0}));
  EXPECT_EQ(blms32fGetDelayLine(&f, y.data(), 3, 9, 0), 1);
  EXPECT_EQ(blms32fGetDelayLine(&f, y.data(), 4, 1, 0), -2);
  EXPECT_EQ(blms32fGetDelayLine(&f, y.data(), 0, 0, 0), -2);
  EXPECT_EQ(blms32fGetDelayLine(&f, nullptr, 0, 1, 0), -1);
  expectCopyExtremes(&f, 4, {blms32fGetCoef, blms32fSetCoef,
                             blms32fGetDelayLine, blms32fSetDelayLine});
  blms32fFree(&f);
  EXPECT_EQ(blms32fReset(&f), -1);
  EXPECT_EQ(blms32fResetDelayLine(&f), -1);
  EXPECT_EQ(blms32fFilterOnly(&f, x.data(), y.data()), -1);
}

TEST(Blms, DelayLineCopiesResetAndResize) {
  quolmBlms f;
  ASSERT_EQ(blms32fInit(&f, 8, 4, DT32F(0.01)), 0);
  Vec w = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(blms32fSetCoef(&f, w.data(), 0, 8, 0), 8);
  Vec x = {1, 2, 3, 4}, y(4);
  for (int k = 0; k < 3; ++k) {
    blms32fFilterOnly(&f, x.data(), y.data());
    for (DT32F &v : x) v += 4;  // inputs 1 .. 12
  }
  EXPECT_EQ(history(f), (Vec{12, 11, 10, 9, 8, 7, 6, 5}));
  // Whatever index holds, Get then Set restores the same line.
  Vec h = history(f), r(8);
  EXPECT_EQ(blms32fGetDelayLine(&f, r.data(), 0, 8, 1), 8);
  EXPECT_EQ(r, Vec(h.rbegin(), h.rend()));
  EXPECT_EQ(blms32fSetDelayLine(&f, r.data(), 0, 8, 1), 8);
  EXPECT_EQ(history(f), h);

  EXPECT_EQ(blms32fResize(&f, 8, 4), 0);
  EXPECT_EQ(blms32fResize(&f, 0, 4), -2);
  EXPECT_EQ(blms32fResize(&f, 4, 0), -2);
  EXPECT_EQ(coefs(f), w);
  ASSERT_EQ(blms32fResize(&f, 8, 2), 0);  // another block length only
  EXPECT_EQ(f.blockLen, 2);
  EXPECT_EQ(coefs(f), w);
  EXPECT_EQ(history(f), h);
  ASSERT_EQ(blms32fResize(&f, 4, 2), 0);
  EXPECT_EQ(f.index, 0);
  EXPECT_EQ(f.mu, DT32F(0.01));
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3, 4}));
  EXPECT_EQ(history(f), (Vec{12, 11, 10, 9}));
  ASSERT_EQ(blms32fResize(&f, 6, 1), 0);
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(history(f), (Vec{12, 11, 10, 9, 0, 0}));
  Vec next = {13};
  blms32fFilterOnly(&f, next.data(), y.data());
  EXPECT_EQ(y[0], DT32F(13 + 2 * 12 + 3 * 11 + 4 * 10));

  const DT32S index = f.index;
  EXPECT_EQ(blms32fReset(&f), 0);
  EXPECT_EQ(coefs(f), Vec(6, DT32F(0)));
  EXPECT_EQ(history(f)[0], DT32F(13));
  EXPECT_EQ(blms32fResetDelayLine(&f), 0);
  EXPECT_EQ(f.index, index);
  EXPECT_EQ(history(f), Vec(6, DT32F(0)));
  blms32fFree(&f);
}

TEST(Blms, AllocatesOnlyInInitAndResize) {
  quolmBlms f;
  expectAllocFailuresClean([&] { return blms32fInit(&f, 64, 8, 1); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { blms32fFree(&f); });
  ASSERT_EQ(blms32fInit(&f, 16, 8, DT32F(0.01)), 0);
  Vec x(8, DT32F(1)), y(8), e(8);
  blms32fFilterUpdate(&f, x.data(), x.data(), y.data(), e.data());
  const Vec w = coefs(f), h = history(f);
  expectAllocFailuresClean([&] { return blms32fResize(&f, 24, 4); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 16);
                             EXPECT_EQ(f.blockLen, 8);
                             EXPECT_EQ(coefs(f), w);
                             EXPECT_EQ(history(f), h);
                           },
                           [&] { blms32fFree(&f); });
  ASSERT_EQ(blms32fInit(&f, 16, 8, DT32F(0.01)), 0);
  expectNoAllocation([&] {
    for (const BlockLaw &law : kBlockLaws)
      law.block(&f, x.data(), x.data(), y.data(), e.data());
    blms32fFilterOnly(&f, x.data(), y.data());
  });
  blms32fFree(&f);
}

TEST(Bnlms, ABlockEqualsBlocksOfOne) {
  Rng rng(9);
  const DT32S n = 10, L = 7;
  quolmBnlms b, s;
  ASSERT_EQ(bnlms32fInit(&b, n, L, DT32F(0.3)), 0);
  ASSERT_EQ(bnlms32fInit(&s, n, 1, DT32F(0.3)), 0);
  Vec y(L), e(L), y1(1), e1(1);
  for (int blk = 0; blk < 30; ++blk) {
    const Vec x = rng.vec(L, 3.0), d = rng.vec(L);
    const bool adapt = blk % 5 != 4;
    if (adapt) {
      ASSERT_EQ(
          bnlms32fFilterUpdate(&b, x.data(), d.data(), y.data(), e.data()), 0);
    } else {
      ASSERT_EQ(bnlms32fFilterOnly(&b, x.data(), y.data()), 0);
    }
    for (DT32S i = 0; i < L; ++i) {
      if (adapt) {
        bnlms32fFilterUpdate(&s, &x[i], &d[i], y1.data(), e1.data());
        ASSERT_EQ(e[i], e1[0]) << "block " << blk;
      } else {
        bnlms32fFilterOnly(&s, &x[i], y1.data());
      }
      ASSERT_EQ(y[i], y1[0]) << "block " << blk;
    }
    ASSERT_EQ(b.power, s.power);
  }
  EXPECT_EQ(coefs(b), coefs(s));
  EXPECT_EQ(history(b), history(s));
  bnlms32fFree(&b);
  bnlms32fFree(&s);
}

TEST(Bnlms, NormalisesByTheSmoothedPowerOfTheNewestSample) {
  // Single-precision constants in both builds.
  const double gain = double(0.01f), keep = double(0.99f), eps = double(1e-15f);
  if (sizeof(DT32F) == 8) {
    EXPECT_EQ(gain, 0.009999999776482582);
    EXPECT_EQ(keep, 0.9900000095367432);
    EXPECT_EQ(eps, 1.0000000036274937e-15);
  }
  quolmBnlms f;
  ASSERT_EQ(bnlms32fInit(&f, 2, 1, DT32F(0.5)), 0);
  EXPECT_EQ(f.power, DT32F(1));
  Vec x = {2}, d = {1}, y(1), e(1);
  ASSERT_EQ(bnlms32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data()),
            0);
  const DT32F power = DT32F(gain * 2 * 2 + keep * 1);
  EXPECT_EQ(f.power, power);
  const DT32F g = DT32F(1.0 * 0.5 / (double(power) + eps));
  EXPECT_EQ(coefs(f), (Vec{DT32F(double(g) * 2), 0}));

  // Zero input on a cleared history: the output is 0, the coefficients
  // stay, power decays.
  ASSERT_EQ(bnlms32fResetDelayLine(&f), 0);
  const Vec w = coefs(f);
  Vec zero = {0};
  DT32F p = f.power;
  for (int i = 0; i < 500; ++i) {
    bnlms32fFilterUpdate(&f, zero.data(), d.data(), y.data(), e.data());
    p = DT32F(keep * double(p));
    ASSERT_EQ(f.power, p);
  }
  EXPECT_EQ(y[0], DT32F(0));
  EXPECT_EQ(coefs(f), w);
  EXPECT_GE(f.power, DT32F(0));
  EXPECT_LT(f.power, DT32F(0.01));
  bnlms32fFree(&f);
}

TEST(Bnlms, TracksAPlantWhateverTheInputLevel) {
  for (double level : {0.01, 1.0, 100.0}) {
    Rng rng(17);
    Vec plant = rng.vec(12, 0.5);
    quolmFir sys;
    quolmBnlms f;
    ASSERT_EQ(fir32fInit(&sys, 12, plant.data()), 0);
    ASSERT_EQ(bnlms32fInit(&f, 12, 16, DT32F(0.02)), 0);
    Vec d(16), y(16), e(16);
    double errPower = 0, desPower = 0;
    for (int blk = 0; blk < 400; ++blk) {
      const Vec x = rng.vec(16, level);
      fir32fBlockFilter(&sys, x.data(), d.data(), 16);
      bnlms32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data());
      for (int i = 0; blk >= 350 && i < 16; ++i) {
        errPower += double(e[i]) * e[i];
        desPower += double(d[i]) * d[i];
      }
    }
    const double reached = dB(errPower, desPower);
    EXPECT_LT(reached, sizeof(DT32F) == 4 ? -100 : -200)
        << "input level " << level << " reached " << reached << " dB";
    bnlms32fFree(&f);
    fir32fFree(&sys);
  }
}

TEST(Bnlms, PowerSurvivesResetAndResize) {
  quolmBnlms f;
  ASSERT_EQ(bnlms32fInit(&f, 6, 3, DT32F(0.1)), 0);
  Vec x = {1, -2, 3}, d = {1, 1, 1}, y(3), e(3);
  bnlms32fFilterUpdate(&f, x.data(), d.data(), y.data(), e.data());
  bnlms32fFilterOnly(&f, x.data(), y.data());
  const DT32F power = f.power;
  EXPECT_EQ(bnlms32fReset(&f), 0);
  EXPECT_EQ(bnlms32fResetDelayLine(&f), 0);
  EXPECT_EQ(f.power, power);
  Vec h = {6, 5, 4, 3, 2, 1}, w = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(bnlms32fSetDelayLine(&f, h.data(), 0, 6, 0), 6);
  ASSERT_EQ(bnlms32fSetCoef(&f, w.data(), 0, 6, 0), 6);
  EXPECT_EQ(coefs(f), w);  // the delay-line copy never reaches the coefficients
  EXPECT_EQ(bnlms32fResize(&f, 6, 3), 0);
  ASSERT_EQ(bnlms32fResize(&f, 3, 2), 0);
  EXPECT_EQ(f.power, power);
  EXPECT_EQ(f.blockLen, 2);
  EXPECT_EQ(coefs(f), (Vec{1, 2, 3}));
  EXPECT_EQ(history(f), (Vec{6, 5, 4}));
  bnlms32fFree(&f);
}

TEST(Bnlms, CodesAndAllocation) {
  quolmBnlms f;
  Vec buf(4), x(4, DT32F(1)), y(4), e(4);
  EXPECT_EQ(bnlms32fInit(nullptr, 4, 4, 1), -1);
  EXPECT_EQ(bnlms32fInit(&f, -1, 4, 1), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(bnlms32fInitStatic(&f, 4, -3, 1, buf.data(), nullptr), -2);
  EXPECT_EQ(bnlms32fInitStatic(&f, 4, 4, 1, buf.data(), nullptr), -1);
  EXPECT_EQ(f.length, 0);
  Vec coefBuf(4, DT32F(3));
  ASSERT_EQ(bnlms32fInitStatic(&f, 4, 4, 1, coefBuf.data(), buf.data()), 0);
  EXPECT_EQ(f.power, DT32F(1));
  EXPECT_EQ(f.index, 0);
  EXPECT_EQ(coefBuf, Vec(4, DT32F(0)));
  EXPECT_EQ(bnlms32fFilterUpdate(&f, x.data(), x.data(), nullptr, e.data()),
            -1);
  f.delayLine = nullptr;
  EXPECT_EQ(bnlms32fFilterOnly(&f, x.data(), y.data()), -1);
  EXPECT_EQ(bnlms32fGetDelayLine(&f, y.data(), 0, 1, 0), -1);
  EXPECT_EQ(bnlms32fResetDelayLine(&f), -1);

  expectAllocFailuresClean([&] { return bnlms32fInit(&f, 64, 8, 1); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { bnlms32fFree(&f); });
  ASSERT_EQ(bnlms32fInit(&f, 16, 4, DT32F(0.1)), 0);
  bnlms32fFilterUpdate(&f, x.data(), x.data(), y.data(), e.data());
  const DT32F power = f.power;
  const Vec w = coefs(f);
  expectAllocFailuresClean([&] { return bnlms32fResize(&f, 8, 4); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 16);
                             EXPECT_EQ(f.power, power);
                             EXPECT_EQ(coefs(f), w);
                           },
                           [&] { bnlms32fFree(&f); });
  ASSERT_EQ(bnlms32fInit(&f, 16, 4, DT32F(0.1)), 0);
  expectNoAllocation([&] {
    bnlms32fFilterUpdate(&f, x.data(), x.data(), y.data(), e.data());
    bnlms32fFilterOnly(&f, x.data(), y.data());
  });
  expectCopyExtremes(&f, 16, {bnlms32fGetCoef, bnlms32fSetCoef,
                              bnlms32fGetDelayLine, bnlms32fSetDelayLine});
  bnlms32fFree(&f);
}

TEST(Block, HeadersCompileAndWorkAsC99) { EXPECT_EQ(cSmokeBlock(), 0); }
