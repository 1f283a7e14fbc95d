// SPDX-License-Identifier: MIT
// Transform-domain LMS: sizes and codes, the time-domain view of the weights,
// the delay line, Resize, and adaptation on white and coloured input.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>

#include "fdafutil32f.h"

extern "C" int cSmokeTdlms(void);

namespace {

// Tolerance of values that pass through the transform.
const double kTol = sizeof(DT32F) == 4 ? 2e-5 : 1e-12;

// An Init-made filter released at scope end.
struct Filter {
  TableSet tables;
  quolmTdlms f;
  Filter(DT32S L, DT32F mu, DT32S tableSize) : tables(tableSize) {
    EXPECT_EQ(tdlms32fInit(&f, L, mu, tables.w(), tables.t()), 0);
  }
  explicit Filter(DT32S L, DT32F mu = DT32F(0.01)) : Filter(L, mu, sizeForTaps(L)) {}
  ~Filter() { tdlms32fFree(&f); }
  static DT32S sizeForTaps(DT32S L) {
    DT32S m = 2;
    while (m < L) m *= 2;
    return m;
  }
  Vec coefs(DT32S n) {
    Vec h(size_t(n), DT32F(0));
    EXPECT_EQ(tdlms32fGetCoef(&f, h.data(), 0, n, 0), n);
    return h;
  }
  void setCoefs(Vec h) {
    EXPECT_EQ(tdlms32fSetCoef(&f, h.data(), 0, DT32S(h.size()), 0), DT32S(h.size()));
  }
  Vec weights() const { return Vec(f.coefs, f.coefs + f.fftSize); }
  Vec power() const { return Vec(f.power, f.power + f.bins); }
};

void expectNear(const Vec &got, const Vec &want, double tol, const char *what) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_NEAR(got[i], want[i], tol) << what << " element " << i;
}

TEST(Tdlms, InitDerivesSizesFromLength) {
  struct Case { DT32S L, M; } cases[] = {{1, 2}, {2, 2}, {3, 4}, {5, 8},
                                         {6, 8}, {8, 8}, {9, 16}, {17, 32}};
  for (const Case &c : cases) {
    Filter t(c.L, DT32F(0.25), 64);
    const quolmTdlms &f = t.f;
    EXPECT_EQ(f.length, c.L);
    EXPECT_EQ(f.fftSize, c.M) << "L = " << c.L;
    EXPECT_EQ(f.bins, c.M / 2 + 1);
    EXPECT_EQ(f.index, c.M - 1);
    EXPECT_EQ(f.invScale, DT32F(2.0 / c.M));
    EXPECT_EQ(f.err, DT32F(0));
    EXPECT_EQ(f.fftWork, t.tables.w());
    for (DT32F p : t.power()) EXPECT_EQ(p, DT32F(1));
    for (DT32F w : t.weights()) EXPECT_EQ(w, DT32F(0));
  }
}

TEST(Tdlms, InitChecksInOrderAndFailureLeavesLengthZero) {
  TableSet tables(8);
  DT32S *work = tables.w();
  DT32F *table = tables.t();
  quolmTdlms f;
  EXPECT_EQ(tdlms32fInit(nullptr, 4, DT32F(0.1), work, table), -1);
  f.length = 7;
  EXPECT_EQ(tdlms32fInit(&f, 0, DT32F(0.1), nullptr, table), -1);
  EXPECT_EQ(f.length, 0);
  f.length = 7;
  EXPECT_EQ(tdlms32fInit(&f, 0, DT32F(0.1), work, nullptr), -1);
  EXPECT_EQ(f.length, 0);
  for (DT32S bad : {0, -1, INT32_MIN}) {
    f.length = 7;
    EXPECT_EQ(tdlms32fInit(&f, bad, DT32F(0.1), work, table), -2) << bad;
    EXPECT_EQ(f.length, 0);
  }
  // Tables built for 8 points serve M = 8 but not M = 16: the transform
  // would read past them.
  f.length = 7;
  EXPECT_EQ(tdlms32fInit(&f, 9, DT32F(0.1), work, table), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(tdlms32fInit(&f, (1 << 28) + 1, DT32F(0.1), work, table), -2);
  // Sizes whose buffers could not be indexed fail like a failed allocation,
  // before anything is allocated: M above 2^30 before the tables are looked
  // at, and a state block beyond DT32S indexing even with tables that claim
  // to serve M = 2^30 (only their counts are read).
  for (DT32S huge : {(1 << 30) + 1, INT32_MAX}) {
    f.length = 7;
    EXPECT_EQ(tdlms32fInit(&f, huge, DT32F(0.1), work, table), -3) << huge;
    EXPECT_EQ(f.length, 0);
  }
  EXPECT_EQ(tdlms32fInit(&f, (1 << 29) + 1, DT32F(0.1), work, table), -2);
  DT32S bigCounts[3] = {1 << 28, 1 << 28, 0};
  EXPECT_EQ(tdlms32fInit(&f, (1 << 29) + 1, DT32F(0.1), bigCounts, table), -3);
  EXPECT_EQ(f.length, 0);
  ASSERT_EQ(tdlms32fInit(&f, 8, DT32F(0.1), work, table), 0);
  tdlms32fFree(&f);
}

TEST(Tdlms, InitStaticLaysOutAndClearsTheCallerBuffers) {
  TableSet tables(8);
  DT32S *work = tables.w();
  DT32F *table = tables.t();
  const DT32F poison = DT32F(-7);
  Vec coefBuf(9, poison), stateBuf(27, poison);  // one guard value each
  quolmTdlms f;
  f.length = 3;
  EXPECT_EQ(tdlms32fInitStatic(&f, 8, DT32F(0.1), nullptr, stateBuf.data(), work, table), -1);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(tdlms32fInitStatic(&f, 8, DT32F(0.1), coefBuf.data(), nullptr, work, table), -1);
  EXPECT_EQ(tdlms32fInitStatic(&f, 0, DT32F(0.1), coefBuf.data(), stateBuf.data(), nullptr, table), -1);
  EXPECT_EQ(tdlms32fInitStatic(&f, 0, DT32F(0.1), coefBuf.data(), stateBuf.data(), work, table), -2);
  EXPECT_EQ(tdlms32fInitStatic(&f, 9, DT32F(0.1), coefBuf.data(), stateBuf.data(), work, table), -2);
  DT32S bigCounts[3] = {1 << 28, 1 << 28, 0};  // claims to serve M = 2^30
  EXPECT_EQ(tdlms32fInitStatic(&f, (1 << 29) + 1, DT32F(0.1), coefBuf.data(), stateBuf.data(), bigCounts, table), -2)
      << "a state block beyond DT32S indexing is out of range";
  EXPECT_EQ(coefBuf[0], poison) << "a failed InitStatic wrote the buffers";

  ASSERT_EQ(tdlms32fInitStatic(&f, 8, DT32F(0.1), coefBuf.data(), stateBuf.data(), work, table), 0);
  EXPECT_EQ(f.coefs, coefBuf.data());
  EXPECT_EQ(f.delayLine, stateBuf.data());
  EXPECT_EQ(f.power, stateBuf.data() + 16);
  EXPECT_EQ(f.scratch, stateBuf.data() + 21);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(coefBuf[i], DT32F(0));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(stateBuf[i], DT32F(0));
  for (int i = 16; i < 21; ++i) EXPECT_EQ(stateBuf[i], DT32F(1));
  for (int i = 21; i < 26; ++i) EXPECT_EQ(stateBuf[i], DT32F(0));
  EXPECT_EQ(coefBuf[8], poison);
  EXPECT_EQ(stateBuf[26], poison) << "the state block of M = 8 holds 26 values";
  // A fresh filter outputs zero and stores err = d.
  EXPECT_EQ(tdlms32fFilterUpdate(&f, DT32F(1), DT32F(0.5)), DT32F(0));
  EXPECT_EQ(f.err, DT32F(0.5));
}

// A unit tap at delay one makes the filter a one-sample delay, for lengths
// whose M is the smallest possible, equal to L, and above L; over enough
// samples to wrap the ring several times.
TEST(Tdlms, UnitTapAtOneDelaysByOneSampleAcrossCalls) {
  for (DT32S L : {2, 3, 6, 8, 17}) {
    Filter t(L);
    DT32F one = DT32F(1);
    ASSERT_EQ(tdlms32fSetCoef(&t.f, &one, 1, 1, 0), 1);
    EXPECT_NEAR(tdlms32fFilterOnly(&t.f, DT32F(1)), 0.0, kTol);
    EXPECT_NEAR(tdlms32fFilterOnly(&t.f, DT32F(2)), 1.0, kTol);
    EXPECT_NEAR(tdlms32fFilterOnly(&t.f, DT32F(3)), 2.0, kTol * 2);
    Rng rng{uint64_t(L)};
    DT32F prev = DT32F(3);
    for (int n = 0; n < 5 * t.f.fftSize; ++n) {
      const DT32F x = DT32F(rng.sym());
      ASSERT_NEAR(tdlms32fFilterOnly(&t.f, x), prev, kTol) << "L " << L << " n " << n;
      prev = x;
    }
  }
}

// With any taps set the filter computes the FIR sum over them, in the
// circular and in the LC form (input vector shifted by the caller; its
// tables were built for a larger transform, which serves as well).
TEST(Tdlms, OutputIsTheFirSumOfTheTaps) {
  for (DT32S L : {1, 5, 16, 33}) {
    Rng rng(uint64_t(100 + L));
    Filter circ(L), lc(L, DT32F(0.01), 256);
    const Vec h = rng.vec(size_t(L), 0.5);
    circ.setCoefs(h);
    lc.setCoefs(h);
    const Vec x = rng.vec(200);
    const std::vector<double> y = firReference(h, x);
    for (size_t n = 0; n < x.size(); ++n) {
      const double want = y[n];
      ASSERT_NEAR(tdlms32fFilterOnly(&circ.f, x[n]), want, kTol * 4) << "L " << L << " n " << n;
      insertSampleLinBuf32f(x[n], lc.f.delayLine, lc.f.fftSize);
      ASSERT_NEAR(tdlms32fLCFilterOnly(&lc.f), want, kTol * 4) << "LC, L " << L << " n " << n;
    }
    EXPECT_EQ(lc.f.index, lc.f.fftSize - 1) << "LC forms moved index";
  }
}

// The LC form on a caller-shifted input vector adapts exactly as the
// circular form does on the same samples.
TEST(Tdlms, LcUpdateMatchesCircularUpdate) {
  Rng rng(41);
  Filter circ(12, DT32F(0.02)), lc(12, DT32F(0.02));
  for (int n = 0; n < 300; ++n) {
    const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
    const DT32F y = tdlms32fFilterUpdate(&circ.f, x, d);
    insertSampleLinBuf32f(x, lc.f.delayLine, lc.f.fftSize);
    ASSERT_EQ(tdlms32fLCFilterUpdate(&lc.f, d), y) << n;
    ASSERT_EQ(lc.f.err, circ.f.err) << n;
  }
  EXPECT_EQ(lc.weights(), circ.weights());
  EXPECT_EQ(lc.power(), circ.power());
}

TEST(Tdlms, CoefCopiesRoundTripAndFollowTheCopyRules) {
  Filter t(6);
  Rng rng(7);
  const Vec h = rng.vec(6);
  t.setCoefs(h);
  expectNear(t.coefs(6), h, kTol, "round trip");

  const Vec before = t.weights();
  Vec v(3);
  EXPECT_EQ(tdlms32fGetCoef(&t.f, v.data(), 2, 3, 1), 3);
  expectNear(v, Vec{h[4], h[3], h[2]}, kTol, "reversed");
  EXPECT_EQ(t.weights(), before) << "reading the taps changed the weights";

  EXPECT_EQ(tdlms32fGetCoef(&t.f, v.data(), 5, 100, 0), 1);
  EXPECT_NEAR(v[0], h[5], kTol);
  EXPECT_EQ(tdlms32fGetCoef(&t.f, v.data(), 6, 1, 0), -2);
  EXPECT_EQ(tdlms32fGetCoef(&t.f, v.data(), -1, 1, 0), -2);
  EXPECT_EQ(tdlms32fGetCoef(&t.f, v.data(), 0, 0, 0), -2);
  EXPECT_EQ(tdlms32fGetCoef(&t.f, nullptr, 0, 0, 0), -1);
  EXPECT_EQ(tdlms32fGetCoef(nullptr, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(tdlms32fSetCoef(&t.f, v.data(), 6, 1, 0), -2);
  EXPECT_EQ(tdlms32fSetCoef(&t.f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(tdlms32fSetCoef(nullptr, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(t.weights(), before) << "a refused copy changed the weights";

  // A partial write keeps the other taps; reversed values land reversed.
  Vec w = {DT32F(9), DT32F(8)};
  EXPECT_EQ(tdlms32fSetCoef(&t.f, w.data(), 4, 5, 1), 2);
  expectNear(t.coefs(6), Vec{h[0], h[1], h[2], h[3], DT32F(8), DT32F(9)}, kTol, "partial");
  expectCopyExtremes(&t.f, 6, {tdlms32fGetCoef, tdlms32fSetCoef});
}

TEST(Tdlms, DelayLineCopiesAddressSamplesByAge) {
  Filter t(8);
  for (DT32F x : {DT32F(1), DT32F(2), DT32F(3)}) tdlms32fFilterUpdate(&t.f, x, DT32F(0));
  Vec v(8);
  EXPECT_EQ(tdlms32fGetDelayLine(&t.f, v.data(), 0, 8, 0), 8);
  EXPECT_EQ(v, (Vec{3, 2, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(tdlms32fGetDelayLine(&t.f, v.data(), 0, 8, 1), 8);
  EXPECT_EQ(v, (Vec{0, 0, 0, 0, 0, 1, 2, 3}));

  Vec in = {5, 6, 7};
  EXPECT_EQ(tdlms32fSetDelayLine(&t.f, in.data(), 6, 9, 1), 2);
  Vec out(2);
  EXPECT_EQ(tdlms32fGetDelayLine(&t.f, out.data(), 6, 9, 1), 2);
  EXPECT_EQ(out, (Vec{5, 6}));
  EXPECT_EQ(tdlms32fGetDelayLine(&t.f, v.data(), 8, 1, 0), -2);
  EXPECT_EQ(tdlms32fGetDelayLine(&t.f, v.data(), 0, 0, 0), -2);
  EXPECT_EQ(tdlms32fSetDelayLine(&t.f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(tdlms32fGetDelayLine(nullptr, v.data(), 0, 1, 0), -1);

  // The samples set are the ones the next output sees: x(n-1) = 3.
  DT32F one = DT32F(1);
  tdlms32fSetCoef(&t.f, &one, 1, 1, 0);
  EXPECT_NEAR(tdlms32fFilterOnly(&t.f, DT32F(4)), 3.0, kTol);
  expectCopyExtremes(&t.f, 8, {tdlms32fGetDelayLine, tdlms32fSetDelayLine});
}

TEST(Tdlms, FilterOnlyTracksPowerButKeepsWeightsAndError) {
  Filter t(2);
  t.setCoefs({DT32F(0.5), DT32F(0.25)});
  tdlms32fFilterUpdate(&t.f, DT32F(0), DT32F(0.125));  // err = 0.125
  const Vec w = t.weights();
  const DT32F err = t.f.err;
  // Window (0.5, 0): both bins hold 0.5, power 0.25 each. The smoothing
  // constants are single-precision values in both builds.
  tdlms32fFilterOnly(&t.f, DT32F(0.5));
  const Vec p = t.power();
  const double keep = double(DT32F(0.98f)), gain = double(DT32F(0.02f));
  const double want = keep * (keep * 1.0 + gain * 0.0) + gain * 0.25;
  for (DT32F v : p) EXPECT_NEAR(v, want, sizeof(DT32F) == 4 ? 1e-7 : 1e-15);
  EXPECT_EQ(t.weights(), w);
  EXPECT_EQ(t.f.err, err);
  tdlms32fLCFilterOnly(&t.f);
  EXPECT_NE(t.power(), p);
  EXPECT_EQ(t.weights(), w);
  EXPECT_EQ(t.f.err, err);
}

TEST(Tdlms, ResetsClearWeightsOrHistoryOnly) {
  Filter t(4);
  Rng rng(3);
  for (int n = 0; n < 11; ++n) tdlms32fFilterUpdate(&t.f, DT32F(rng.sym()), DT32F(rng.sym()));
  const DT32S index = t.f.index;
  const Vec p = t.power();
  EXPECT_EQ(tdlms32fReset(&t.f), 0);
  for (DT32F w : t.weights()) EXPECT_EQ(w, DT32F(0));
  EXPECT_EQ(t.power(), p);
  EXPECT_EQ(tdlms32fResetDelayLine(&t.f), 0);
  for (int i = 0; i < 2 * t.f.fftSize; ++i) EXPECT_EQ(t.f.delayLine[i], DT32F(0));
  EXPECT_EQ(t.f.index, index);
  EXPECT_EQ(t.power(), p);
  tdlms32fFilterOnly(&t.f, DT32F(5));
  EXPECT_EQ(t.f.delayLine[index], DT32F(5)) << "the next sample moved";
  EXPECT_EQ(tdlms32fReset(nullptr), -1);
  EXPECT_EQ(tdlms32fResetDelayLine(nullptr), -1);
}

TEST(Tdlms, FreeReleasesAndLaterCallsReportNullVectors) {
  TableSet tables(8);
  quolmTdlms f;
  ASSERT_EQ(tdlms32fInit(&f, 8, DT32F(0.1), tables.w(), tables.t()), 0);
  tdlms32fFree(&f);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(f.coefs, nullptr);
  EXPECT_EQ(f.delayLine, nullptr);
  Vec v(2);
  EXPECT_EQ(tdlms32fReset(&f), -1);
  EXPECT_EQ(tdlms32fResetDelayLine(&f), -1);
  EXPECT_EQ(tdlms32fGetCoef(&f, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(tdlms32fGetDelayLine(&f, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(tdlms32fResize(&f, 4), -1);
  tdlms32fFree(&f);  // a second Free is harmless
  tdlms32fFree(nullptr);
}

TEST(Tdlms, ResizeKeepsLeadingTapsNewestSamplesAndPowerAtEqualSize) {
  Rng rng(11);
  Filter t(6, DT32F(0.01), 16);
  const Vec h = rng.vec(6);
  t.setCoefs(h);
  Vec x = rng.vec(20);
  for (DT32F v : x) tdlms32fFilterOnly(&t.f, v);
  const Vec p = t.power();
  Vec ages(8);
  tdlms32fGetDelayLine(&t.f, ages.data(), 0, 8, 0);

  EXPECT_EQ(tdlms32fResize(&t.f, 6), 0);
  EXPECT_EQ(t.power(), p);
  EXPECT_EQ(tdlms32fResize(&t.f, 0), -2);
  EXPECT_EQ(tdlms32fResize(&t.f, 17), -2) << "tables of 16 points cannot serve M = 32";
  EXPECT_EQ(t.f.length, 6);
  EXPECT_EQ(tdlms32fResize(nullptr, 4), -1);

  // Same M: the powers carry over.
  ASSERT_EQ(tdlms32fResize(&t.f, 7), 0);
  EXPECT_EQ(t.f.fftSize, 8);
  EXPECT_EQ(t.f.index, 7);
  EXPECT_EQ(t.power(), p);
  expectNear(t.coefs(7), Vec{h[0], h[1], h[2], h[3], h[4], h[5], 0}, kTol, "same M");
  Vec got(8);
  tdlms32fGetDelayLine(&t.f, got.data(), 0, 8, 0);
  EXPECT_EQ(got, ages);

  // Longer M: older history and taps are zero, the powers start again.
  ASSERT_EQ(tdlms32fResize(&t.f, 12), 0);
  EXPECT_EQ(t.f.fftSize, 16);
  for (DT32F v : t.power()) EXPECT_EQ(v, DT32F(1));
  Vec h12(h);
  h12.resize(12, DT32F(0));
  expectNear(t.coefs(12), h12, kTol * 2, "longer");
  got.assign(16, DT32F(-1));
  tdlms32fGetDelayLine(&t.f, got.data(), 0, 16, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(got[i], i < 8 ? ages[i] : DT32F(0)) << i;

  // Shorter: the leading taps and the newest samples, and the filter goes
  // on as the FIR of the kept taps.
  ASSERT_EQ(tdlms32fResize(&t.f, 3), 0);
  EXPECT_EQ(t.f.fftSize, 4);
  expectNear(t.coefs(3), Vec{h[0], h[1], h[2]}, kTol * 2, "shorter");
  got.resize(4);
  tdlms32fGetDelayLine(&t.f, got.data(), 0, 4, 0);
  EXPECT_EQ(got, Vec(ages.begin(), ages.begin() + 4));
  const DT32F next = DT32F(0.5);
  const double want = h[0] * next + h[1] * ages[0] + h[2] * ages[1];
  EXPECT_NEAR(tdlms32fFilterOnly(&t.f, next), want, kTol * 4);
}

TEST(Tdlms, ProcessingAllocatesNothing) {
  Filter t(64);
  Rng rng(5);
  Vec v(64);
  expectNoAllocation([&] {
    for (int n = 0; n < 100; ++n) {
      tdlms32fFilterUpdate(&t.f, DT32F(rng.sym()), DT32F(rng.sym()));
      tdlms32fFilterOnly(&t.f, DT32F(rng.sym()));
      tdlms32fLCFilterUpdate(&t.f, DT32F(rng.sym()));
      tdlms32fLCFilterOnly(&t.f);
    }
    tdlms32fGetCoef(&t.f, v.data(), 0, 64, 0);
    tdlms32fSetCoef(&t.f, v.data(), 0, 64, 0);
  });
}

TEST(Tdlms, FailedAllocationInInitOrResizeLeaksNothing) {
  if (!allochook::available()) GTEST_SKIP() << "allocation hook absent";
  TableSet tables(32);
  quolmTdlms f;
  expectAllocFailuresClean(
      [&] { return tdlms32fInit(&f, 20, DT32F(0.1), tables.w(), tables.t()); },
      [&](DT32S) { EXPECT_EQ(f.length, 0); },
      [&] { tdlms32fFree(&f); });

  ASSERT_EQ(tdlms32fInit(&f, 5, DT32F(0.1), tables.w(), tables.t()), 0);
  Vec h = {1, 2, 3, 4, 5};
  tdlms32fSetCoef(&f, h.data(), 0, 5, 0);
  expectAllocFailuresClean(
      [&] { return tdlms32fResize(&f, 20); },
      [&](DT32S) {
        EXPECT_EQ(f.length, 5);
        EXPECT_EQ(f.fftSize, 8);
        Vec got(5);
        tdlms32fGetCoef(&f, got.data(), 0, 5, 0);
        expectNear(got, h, kTol * 8, "after a failed Resize");
      },
      [&] {
        EXPECT_EQ(f.length, 20);
        tdlms32fFree(&f);
      });
}

// Error power relative to the desired power, in dB, over each window of
// `window` samples while the filter identifies the unknown FIR h from x.
template <class Update>
std::vector<double> learningCurve(const Vec &h, const Vec &x, size_t window, Update update) {
  std::vector<double> curve;
  const std::vector<double> des = firReference(h, x);
  double errPow = 0.0, desPow = 0.0;
  for (size_t n = 0; n < x.size(); ++n) {
    const double d = des[n];
    const double y = update(x[n], DT32F(d));
    errPow += (d - y) * (d - y);
    desPow += d * d;
    if ((n + 1) % window == 0) {
      curve.push_back(dB(errPow + 1e-300, desPow));
      errPow = desPow = 0.0;
    }
  }
  return curve;
}

// Samples until a window first reaches targetDb (x.size() if never).
size_t samplesToReach(const std::vector<double> &curve, size_t window, double targetDb) {
  for (size_t i = 0; i < curve.size(); ++i)
    if (curve[i] <= targetDb) return (i + 1) * window;
  return curve.size() * window;
}

// AR(1) input x(n) = pole * x(n-1) + white noise.
Vec colouredInput(size_t n, double pole, uint64_t seed) {
  Rng rng(seed);
  Vec x(n);
  double s = 0.0;
  for (DT32F &v : x) v = DT32F(s = pole * s + rng.gauss());
  return x;
}

TEST(Tdlms, IdentifiesAnUnknownSystemFromWhiteNoise) {
  Rng rng(21);
  const Vec h = rng.vec(16, 0.5);
  const Vec x = rng.vec(6000);
  Filter t(16, DT32F(0.02));
  const std::vector<double> curve = learningCurve(
      h, x, 500, [&](DT32F xn, DT32F d) { return tdlms32fFilterUpdate(&t.f, xn, d); });
  const double reached = curve.back();
  if (getenv("QUOLM_FIGURES")) printf("TDLMS 16 taps, white input: %.1f dB\n", reached);
  const double want = sizeof(DT32F) == 4 ? -100.0 : -200.0;
  EXPECT_LT(reached, want) << "error power reached " << reached << " dB";
  expectNear(t.coefs(16), h, sizeof(DT32F) == 4 ? 1e-3 : 1e-6, "identified taps");
}

// The per-bin normalisation whitens coloured input: on AR(1) input with pole
// 0.9, TDLMS reaches -20 dB sooner than NLMS of the same length. Each filter
// runs at the fastest of three step sizes around its best one, summed over
// five inputs.
TEST(Tdlms, ConvergesFasterThanNlmsOnColouredInput) {
  const DT32S L = 16;
  const size_t window = 25;
  Rng rng(31);
  const Vec h = rng.vec(size_t(L), 0.5);
  std::vector<Vec> inputs;
  for (uint64_t seed = 1; seed <= 5; ++seed) inputs.push_back(colouredInput(3000, 0.9, seed));
  auto total = [&](auto makeUpdate) {
    size_t sum = 0;
    for (const Vec &x : inputs)
      sum += samplesToReach(learningCurve(h, x, window, makeUpdate()), window, -20.0);
    return sum;
  };
  size_t tdBest = SIZE_MAX, nlBest = SIZE_MAX;
  for (double mu : {0.01, 0.015, 0.02}) {
    std::vector<std::unique_ptr<Filter>> keep;
    tdBest = std::min(tdBest, total([&] {
      keep.emplace_back(new Filter(L, DT32F(mu)));
      quolmTdlms *f = &keep.back()->f;
      return [f](DT32F x, DT32F d) { return tdlms32fFilterUpdate(f, x, d); };
    }));
  }
  for (double mu : {0.35, 0.5, 0.6}) {
    std::vector<std::unique_ptr<quolmNlms>> keep;
    nlBest = std::min(nlBest, total([&] {
      keep.emplace_back(new quolmNlms);
      quolmNlms *f = keep.back().get();
      EXPECT_EQ(nlms32fInit(f, L, DT32F(mu / L)), 0);
      return [f](DT32F x, DT32F d) { return nlms32fFilterUpdate(f, x, d); };
    }));
    for (auto &f : keep) nlms32fFree(f.get());
  }
  if (getenv("QUOLM_FIGURES"))
    printf("AR(1) 0.9 input, samples to -20 dB over five runs: TDLMS %zu, NLMS %zu\n", tdBest,
           nlBest);
  EXPECT_LT(tdBest * 4, nlBest * 3) << "samples to -20 dB over five inputs: TDLMS " << tdBest
                                    << ", NLMS " << nlBest;
}

TEST(Tdlms, HeaderWorksFromC99) { EXPECT_EQ(cSmokeTdlms(), 0); }

}  // namespace
