// SPDX-License-Identifier: MIT
// RLS adaptive transversal filter: arithmetic against a plain model of the
// update, codes, lifecycle, and the jobs it exists for.
#include <float.h>
#include <stdint.h>

#include "testutil32f.h"

extern "C" int cSmokeRls(void);

namespace {

typedef double Acc;

// Plain model of one filter: the update written as the straightforward loops,
// with every value of the record rounded to the sample type when stored (each
// partial sum of P*x included, as it is stored in the work vector).
struct Model {
  int n;
  DT32F lambda, invLambda, err = 0;
  Vec w, x, g, P;
  Model(int n_, DT32F lam, DT32F delta)
      : n(n_), lambda(lam), invLambda(DT32F(1.0 / Acc(lam))), w(n), x(n),
        g(n), P(size_t(n) * (n + 1) / 2) {
    for (int r = 0; r < n; ++r) at(r, r) = delta;
  }
  DT32F &at(int r, int j) { return P[size_t(r) * (r + 1) / 2 + j]; }
  DT32F step(bool shift, bool adapt, DT32F xNew, DT32F d) {
    if (shift) {
      for (int k = n - 1; k > 0; --k) x[k] = x[k - 1];
      x[0] = xNew;
    }
    Acc acc = 0;
    for (int k = 0; k < n; ++k) acc += Acc(x[k]) * Acc(w[k]);
    const DT32F y = DT32F(acc);
    const Acc e = Acc(d) - Acc(y);
    if (adapt) err = DT32F(e);
    for (int i = 0; i < n; ++i) {
      g[i] = 0;
      for (int j = 0; j <= i; ++j)
        g[i] = DT32F(Acc(g[i]) + Acc(at(i, j)) * Acc(x[j]));
    }
    for (int i = 0; i + 1 < n; ++i)
      for (int j = i + 1; j < n; ++j)
        g[i] = DT32F(Acc(g[i]) + Acc(at(j, i)) * Acc(x[j]));
    acc = 0;
    for (int k = 0; k < n; ++k) acc += Acc(x[k]) * Acc(g[k]);
    const DT32F s = DT32F(acc);
    for (int i = 0; i < n; ++i) {
      const Acc k = Acc(g[i]) / (Acc(s) + Acc(lambda));
      if (adapt) w[i] = DT32F(Acc(w[i]) + k * e);
      for (int j = 0; j <= i; ++j)
        at(i, j) = DT32F(Acc(invLambda) * Acc(at(i, j)) - k * Acc(g[j]));
    }
    return y;
  }
};

Vec coefsOf(const quolmRls &f) { return Vec(f.coefs, f.coefs + f.length); }
Vec delayOf(const quolmRls &f) { return Vec(f.delayLine, f.delayLine + f.length); }
Vec triangleOf(const quolmRls &f) {
  return Vec(f.invCorr, f.invCorr + size_t(f.length) * (f.length + 1) / 2);
}

// Smallest Cholesky pivot of the symmetric matrix whose lower triangle is
// stored; <= 0 when the matrix is not positive definite.
double minCholeskyPivot(const Vec &tri, int n) {
  std::vector<double> L(size_t(n) * n, 0.0);
  double minPivot = INFINITY;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j) {
      double v = tri[size_t(i) * (i + 1) / 2 + j];
      for (int k = 0; k < j; ++k) v -= L[i * n + k] * L[j * n + k];
      if (i == j) {
        minPivot = fmin(minPivot, v);
        if (!(v > 0)) return v;
        L[i * n + i] = sqrt(v);
      } else {
        L[i * n + j] = v / L[j * n + j];
      }
    }
  return minPivot;
}

// Unknown FIR system driven by unit-variance white noise.
struct Plant {
  Vec h, hist;
  explicit Plant(Rng &rng, int taps) : h(rng.vec(taps)), hist(taps) {}
  DT32F operator()(DT32F x) {
    for (size_t k = hist.size() - 1; k > 0; --k) hist[k] = hist[k - 1];
    hist[0] = x;
    Acc acc = 0;
    for (size_t k = 0; k < h.size(); ++k) acc += Acc(h[k]) * Acc(hist[k]);
    return DT32F(acc);
  }
};

TEST(Rls, MatchesThePlainUpdateBitForBitInEveryForm) {
  Rng rng(71);
  for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 13, 37, 64}) {
    quolmRls f;
    ASSERT_EQ(rls32fInit(&f, n, DT32F(0.98), DT32F(0.5)), 0);
    Model m(n, DT32F(0.98), DT32F(0.5));
    for (int t = 0; t < 120; ++t) {
      const int form = int(rng.next() % 4);
      const DT32F xNew = DT32F(rng.gauss()), d = DT32F(rng.gauss());
      DT32F y;
      if (form >= 2) {  // the LC forms: the caller shifts the sample in
        ASSERT_EQ(insertSampleLinBuf32f(xNew, f.delayLine, n), 0);
        m.x = delayOf(f);
        y = form == 2 ? rls32fLCFilterUpdate(&f, d) : rls32fLCFilterOnly(&f);
      } else {
        y = form == 0 ? rls32fFilterUpdate(&f, xNew, d)
                      : rls32fFilterOnly(&f, xNew);
      }
      const DT32F ym = m.step(form < 2, form % 2 == 0, xNew, d);
      ASSERT_EQ(y, ym) << "n " << n << " sample " << t << " form " << form;
      ASSERT_EQ(f.err, m.err) << "n " << n << " sample " << t;
      ASSERT_EQ(coefsOf(f), m.w) << "n " << n << " sample " << t;
      ASSERT_EQ(delayOf(f), m.x) << "n " << n << " sample " << t;
      ASSERT_EQ(triangleOf(f), m.P) << "n " << n << " sample " << t;
    }
    rls32fFree(&f);
  }
}

TEST(Rls, OneTapSequencesScaleOnlyTheOldElementOfP) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 1, DT32F(1), DT32F(1)), 0);
  EXPECT_EQ(rls32fFilterUpdate(&f, 1, 2), DT32F(0));
  EXPECT_EQ(f.err, DT32F(2));
  EXPECT_EQ(f.coefs[0], DT32F(1));
  EXPECT_EQ(f.invCorr[0], DT32F(0.5));
  EXPECT_EQ(rls32fFilterUpdate(&f, 1, 2), DT32F(1));
  EXPECT_EQ(f.err, DT32F(1));
  EXPECT_NEAR(f.coefs[0], 4.0 / 3, 4.0 / 3 * kEps);
  EXPECT_NEAR(f.invCorr[0], 1.0 / 3, kEps);
  rls32fFree(&f);

  // lambda 0.5: P = 2*1 - (2/3)*1, not (1 - 2/3)*2.
  ASSERT_EQ(rls32fInit(&f, 1, DT32F(0.5), DT32F(1)), 0);
  EXPECT_EQ(f.invLambda, DT32F(2));
  EXPECT_EQ(rls32fFilterUpdate(&f, 1, 1), DT32F(0));
  EXPECT_NEAR(f.coefs[0], 2.0 / 3, kEps);
  EXPECT_NEAR(f.invCorr[0], 4.0 / 3, 4.0 / 3 * kEps);
  rls32fFree(&f);

  // FilterOnly keeps coefficients and err but P still takes in the sample.
  ASSERT_EQ(rls32fInit(&f, 1, DT32F(1), DT32F(1)), 0);
  f.err = DT32F(7);
  EXPECT_EQ(rls32fFilterOnly(&f, 1), DT32F(0));
  EXPECT_EQ(f.coefs[0], DT32F(0));
  EXPECT_EQ(f.err, DT32F(7));
  EXPECT_EQ(f.invCorr[0], DT32F(0.5));
  rls32fFree(&f);
}

TEST(Rls, DelayLineIsLinearAndLCFormsLeaveItAlone) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 4, DT32F(0.99), DT32F(1)), 0);
  for (DT32F x : {DT32F(1), DT32F(2), DT32F(3)}) rls32fFilterUpdate(&f, x, 0);
  Vec out(4);
  EXPECT_EQ(rls32fGetDelayLine(&f, out.data(), 0, 4, 0), 4);
  EXPECT_EQ(out, (Vec{3, 2, 1, 0}));
  EXPECT_EQ(rls32fGetDelayLine(&f, out.data(), 1, 9, 1), 3);
  EXPECT_EQ(Vec(out.begin(), out.begin() + 3), (Vec{0, 1, 2}));

  Vec in{DT32F(0.5), DT32F(-1), DT32F(2), DT32F(0.25)};
  EXPECT_EQ(rls32fSetDelayLine(&f, in.data(), 0, 4, 0), 4);
  rls32fLCFilterUpdate(&f, 1);
  rls32fLCFilterOnly(&f);
  EXPECT_EQ(delayOf(f), in);
  rls32fFree(&f);
}

TEST(Rls, ZeroDeltaNeverAdapts) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 3, DT32F(0.9), DT32F(0)), 0);
  Rng rng(3);
  for (int t = 0; t < 50; ++t) {
    const DT32F d = DT32F(rng.sym());
    EXPECT_EQ(rls32fFilterUpdate(&f, DT32F(rng.sym()), d), DT32F(0));
    EXPECT_EQ(f.err, d);
  }
  EXPECT_EQ(coefsOf(f), Vec(3));
  EXPECT_EQ(triangleOf(f), Vec(6));
  rls32fFree(&f);
}

TEST(Rls, InitChecksInOrderAndStartsFromDeltaTimesIdentity) {
  quolmRls f;
  const DT32F nan = DT32F(NAN);
  struct Case { DT32S n; DT32F delta; } bad[] = {
      {0, 1}, {-3, 1}, {4, DT32F(1.5)}, {4, DT32F(-0.1)}, {4, nan}, {0, nan}};
  for (const Case &c : bad) {
    f.length = 99;
    EXPECT_EQ(rls32fInit(&f, c.n, 1, c.delta), -2) << c.n << " " << c.delta;
    EXPECT_EQ(f.length, 0);
  }
  DT32F coefBuf[4], stateBuf[18];
  for (const Case &c : bad) {  // sizes and delta come before null buffers
    f.length = 99;
    EXPECT_EQ(rls32fInitStatic(&f, c.n, 1, c.delta, nullptr, nullptr), -2);
    EXPECT_EQ(f.length, 0);
  }
  f.length = 99;
  EXPECT_EQ(rls32fInitStatic(&f, 4, 1, 1, nullptr, stateBuf), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(rls32fInitStatic(&f, 4, 1, 1, coefBuf, nullptr), -1);
  EXPECT_EQ(rls32fInit(nullptr, 4, 1, 1), -1);
  EXPECT_EQ(rls32fInitStatic(nullptr, 4, 1, 1, coefBuf, stateBuf), -1);

  ASSERT_EQ(rls32fInit(&f, 3, DT32F(0.5), DT32F(0)), 0);  // delta 0 accepted
  rls32fFree(&f);
  ASSERT_EQ(rls32fInit(&f, 4, DT32F(0.999), DT32F(1)), 0);  // and 1
  EXPECT_EQ(f.lambda, DT32F(0.999));
  EXPECT_EQ(f.invLambda, DT32F(1.0 / Acc(DT32F(0.999))));
  EXPECT_EQ(f.invCorr, f.delayLine + 8);
  EXPECT_EQ(f.gain, f.delayLine + 4);
  EXPECT_EQ(triangleOf(f), (Vec{1, 0, 1, 0, 0, 1, 0, 0, 0, 1}));
  rls32fFree(&f);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(rls32fReset(&f), -1);  // Free clears the pointers

  for (DT32F &v : coefBuf) v = 5;
  for (DT32F &v : stateBuf) v = 5;
  ASSERT_EQ(rls32fInitStatic(&f, 4, 1, DT32F(0.25), coefBuf, stateBuf), 0);
  EXPECT_EQ(Vec(coefBuf, coefBuf + 4), Vec(4));
  EXPECT_EQ(Vec(stateBuf, stateBuf + 8), Vec(8));
  EXPECT_EQ(triangleOf(f), (Vec{DT32F(0.25), 0, DT32F(0.25), 0, 0, DT32F(0.25),
                                0, 0, 0, DT32F(0.25)}));
}

// A length whose state block cannot be counted in the library's index range is
// refused as out of memory before anything is allocated.
TEST(Rls, UnsizableLengthFailsWithoutAllocating) {
  for (DT32S n : {DT32S(65536), DT32S(70000), DT32S(INT32_MAX)}) {
    quolmRls f;
    f.length = 99;
    if (allochook::available()) allochook::arm();
    EXPECT_EQ(rls32fInit(&f, n, 1, 1), -3) << n;
    if (allochook::available())
      EXPECT_EQ(allochook::disarm().calls, 0) << "allocated for n " << n;
    EXPECT_EQ(f.length, 0);
    EXPECT_EQ(f.coefs, nullptr);
  }
}

TEST(Rls, NullRecordAndCopyCodes) {
  DT32F v[4] = {1, 2, 3, 4};
  EXPECT_EQ(rls32fReset(nullptr), -1);
  EXPECT_EQ(rls32fResetDelayLine(nullptr), -1);
  EXPECT_EQ(rls32fGetCoef(nullptr, v, 0, 1, 0), -1);
  EXPECT_EQ(rls32fSetCoef(nullptr, v, 0, 1, 0), -1);
  EXPECT_EQ(rls32fGetDelayLine(nullptr, v, 0, 1, 0), -1);
  EXPECT_EQ(rls32fSetDelayLine(nullptr, v, 0, 1, 0), -1);
  EXPECT_EQ(rls32fResize(nullptr, 3), -1);
  rls32fFree(nullptr);

  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 5, 1, 1), 0);
  EXPECT_EQ(rls32fSetCoef(&f, v, 2, 4, 1), 3);  // w[2..4] = 3, 2, 1
  Vec w(5);
  EXPECT_EQ(rls32fGetCoef(&f, w.data(), 0, 5, 0), 5);
  EXPECT_EQ(w, (Vec{0, 0, 3, 2, 1}));
  EXPECT_EQ(rls32fGetCoef(&f, w.data(), 4, 100, 0), 1);
  EXPECT_EQ(rls32fGetCoef(&f, w.data(), 5, 1, 0), -2);
  EXPECT_EQ(rls32fGetCoef(&f, w.data(), -1, 1, 0), -2);
  EXPECT_EQ(rls32fSetDelayLine(&f, v, 0, 0, 0), -2);
  EXPECT_EQ(rls32fSetDelayLine(&f, nullptr, 0, 0, 0), -1);
  expectCopyExtremes(&f, 5, {rls32fGetCoef, rls32fSetCoef, rls32fGetDelayLine,
                             rls32fSetDelayLine});
  rls32fFree(&f);
}

TEST(Rls, ResetsKeepTheLearnedInverseCorrelation) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 6, DT32F(0.99), DT32F(1)), 0);
  Rng rng(5);
  for (int t = 0; t < 40; ++t)
    rls32fFilterUpdate(&f, DT32F(rng.gauss()), DT32F(rng.gauss()));
  const Vec P = triangleOf(f), x = delayOf(f), w = coefsOf(f);
  const DT32F err = f.err;
  EXPECT_EQ(rls32fReset(&f), 0);
  EXPECT_EQ(coefsOf(f), Vec(6));
  EXPECT_EQ(triangleOf(f), P);
  EXPECT_EQ(delayOf(f), x);
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(rls32fSetCoef(&f, const_cast<DT32F *>(w.data()), 0, 6, 0), 6);
  EXPECT_EQ(rls32fResetDelayLine(&f), 0);
  EXPECT_EQ(delayOf(f), Vec(6));
  EXPECT_EQ(triangleOf(f), P);
  EXPECT_EQ(coefsOf(f), w);
  rls32fFree(&f);
}

TEST(Rls, ResizeKeepsLeadingCoefsAndNewestSamplesAndRestartsP) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 4, DT32F(0.95), DT32F(0.5)), 0);
  Vec w{1, 2, 3, 4};
  rls32fSetCoef(&f, w.data(), 0, 4, 0);
  for (DT32F x : {DT32F(10), DT32F(20), DT32F(30), DT32F(40)})
    rls32fFilterOnly(&f, x);
  const Vec P = triangleOf(f);
  EXPECT_EQ(rls32fResize(&f, 4), 0);
  EXPECT_EQ(triangleOf(f), P);

  EXPECT_EQ(rls32fResize(&f, 0), -2);  // refused: the record stands
  EXPECT_EQ(f.length, 4);
  EXPECT_EQ(triangleOf(f), P);

  const DT32F d = DT32F(0.01f);  // the single-precision value in both builds
  ASSERT_EQ(rls32fResize(&f, 2), 0);
  EXPECT_EQ(f.lambda, DT32F(0.95));
  EXPECT_EQ(coefsOf(f), (Vec{1, 2}));
  EXPECT_EQ(delayOf(f), (Vec{40, 30}));
  EXPECT_EQ(triangleOf(f), (Vec{d, 0, d}));
  ASSERT_EQ(rls32fResize(&f, 3), 0);
  EXPECT_EQ(coefsOf(f), (Vec{1, 2, 0}));
  EXPECT_EQ(delayOf(f), (Vec{40, 30, 0}));
  EXPECT_EQ(triangleOf(f), (Vec{d, 0, d, 0, 0, d}));
  EXPECT_EQ(f.gain, f.delayLine + 3);
  EXPECT_EQ(f.invCorr, f.delayLine + 6);
  rls32fFree(&f);
  if (sizeof(DT32F) == 8) EXPECT_EQ(d, 0.009999999776482582);

  EXPECT_EQ(rls32fResize(&f, 3), -1);  // a freed record has nothing to carry
  EXPECT_EQ(f.length, 0);
}

TEST(Rls, AllocationFailuresLeakNothing) {
  quolmRls f;
  expectAllocFailuresClean([&] { return rls32fInit(&f, 8, DT32F(0.99), 1); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { rls32fFree(&f); });

  quolmRls g;
  ASSERT_EQ(rls32fInit(&g, 5, DT32F(0.99), 1), 0);
  Vec w{1, 2, 3, 4, 5};
  rls32fSetCoef(&g, w.data(), 0, 5, 0);
  const Vec P = triangleOf(g);
  expectAllocFailuresClean([&] { return rls32fResize(&g, 9); },
                           [&](DT32S) {
                             EXPECT_EQ(g.length, 5);
                             EXPECT_EQ(coefsOf(g), w);
                             EXPECT_EQ(triangleOf(g), P);
                           },
                           [&] { rls32fResize(&g, 5); });
  EXPECT_EQ(g.length, 5);
  rls32fFree(&g);
}

TEST(Rls, ProcessingNeverAllocates) {
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, 9, DT32F(0.99), 1), 0);
  expectNoAllocation([&] {
    for (int t = 0; t < 10; ++t) {
      rls32fFilterUpdate(&f, DT32F(t), 1);
      rls32fFilterOnly(&f, DT32F(-t));
      rls32fLCFilterUpdate(&f, 1);
      rls32fLCFilterOnly(&f);
    }
  });
  rls32fFree(&f);
}

// With delta on the diagonal of P the start acts as a regulariser of weight
// lambda^n/delta, so the a priori error falls roughly as 1/n.
TEST(Rls, IdentifiesAnFirSystemFromWhiteNoise) {
  Rng rng(2024);
  const int taps = 16, samples = 1000, tail = 100;
  Plant plant(rng, taps);
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, taps, DT32F(0.999), 1), 0);
  double errPow = 0, desPow = 0;
  for (int t = 0; t < samples; ++t) {
    const DT32F x = DT32F(rng.gauss());
    const DT32F d = plant(x);
    rls32fFilterUpdate(&f, x, d);
    if (t >= samples - tail) {
      errPow += Acc(f.err) * Acc(f.err);
      desPow += Acc(d) * Acc(d);
    }
  }
  const double level = dB(errPow, desPow);  // -64.2 dB in both builds
  EXPECT_LT(level, -60) << "error power " << level << " dB below desired";
  rls32fFree(&f);
}

// Samples until the error power, averaged over blocks of 50, first falls 40 dB
// below the desired power (limit when it never does).
template <class Step>
int samplesToConverge(Step step, uint64_t seed, int limit) {
  Rng rng(seed);
  Plant plant(rng, 16);
  DT32F colour = 0;
  double errPow = 0, desPow = 0;
  for (int t = 0; t < limit; ++t) {
    colour = DT32F(0.95 * Acc(colour) + rng.gauss());  // AR(1), pole 0.95
    const DT32F d = plant(colour);
    const Acc e = Acc(d) - Acc(step(colour, d));
    errPow += e * e;
    desPow += Acc(d) * Acc(d);
    if (t % 50 == 49) {
      if (dB(errPow, desPow) < -40) return t + 1;
      errPow = desPow = 0;
    }
  }
  return limit;
}

TEST(Rls, ConvergesFarFasterThanNlmsOnColouredInput) {
  quolmRls rls;
  quolmNlms nlms;
  ASSERT_EQ(rls32fInit(&rls, 16, DT32F(0.999), 1), 0);
  // 0.03 is about the fastest step of NLMS on this input (0.04 already
  // slows down by a factor of five).
  ASSERT_EQ(nlms32fInit(&nlms, 16, DT32F(0.03)), 0);
  const int limit = 20000;
  const int nRls = samplesToConverge(
      [&](DT32F x, DT32F d) { return rls32fFilterUpdate(&rls, x, d); }, 9,
      limit);
  const int nNlms = samplesToConverge(
      [&](DT32F x, DT32F d) { return nlms32fFilterUpdate(&nlms, x, d); }, 9,
      limit);
  // RLS 100 samples, NLMS 1300 in both builds.
  EXPECT_LT(nRls * 10, nNlms) << "RLS " << nRls << " samples, NLMS " << nNlms;
  rls32fFree(&rls);
  nlms32fFree(&nlms);
}

// A million samples with forgetting: the single build's P must neither
// overflow nor lose positive definiteness (symmetry holds by construction,
// only the lower triangle exists). About 0.2 s (kLongRun is shorter under the
// sanitizers).
TEST(Rls, LongRunStaysFiniteAndPositiveDefinite) {
  if (sizeof(DT32F) != 4) GTEST_SKIP() << "a single-precision question";
  const int samples = kLongRun, n = 8;
  Rng rng(77);
  Plant plant(rng, n);
  quolmRls f;
  ASSERT_EQ(rls32fInit(&f, n, DT32F(0.999), 1), 0);
  double minPivot = INFINITY;
  double errPow = 0, desPow = 0;
  for (int t = 1; t <= samples; ++t) {
    const DT32F x = DT32F(rng.gauss());
    const DT32F d = DT32F(Acc(plant(x)) + 1e-3 * rng.gauss());
    rls32fFilterUpdate(&f, x, d);
    if (t > samples - 1000) {
      errPow += Acc(f.err) * Acc(f.err);
      desPow += Acc(d) * Acc(d);
    }
    if (t % 10000 == 0) {
      const Vec P = triangleOf(f);
      for (DT32F v : P) ASSERT_TRUE(isfinite(v)) << "P at sample " << t;
      for (DT32F v : coefsOf(f)) ASSERT_TRUE(isfinite(v)) << "w at sample " << t;
      const double pivot = minCholeskyPivot(P, n);
      ASSERT_GT(pivot, 0) << "P loses positive definiteness by sample " << t;
      minPivot = fmin(minPivot, pivot);
    }
  }
  const double level = dB(errPow, desPow);
  // Noise 60 dB down (plus the excess of lambda 0.999) bounds the error:
  // -62.3 dB in both builds, P's smallest Cholesky pivot stays near 9e-4.
  EXPECT_LT(level, -58) << "error " << level << " dB; min pivot " << minPivot;
  rls32fFree(&f);
}

TEST(Rls, HeaderIsValidC99) { EXPECT_EQ(cSmokeRls(), 0); }

}  // namespace
