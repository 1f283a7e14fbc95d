// SPDX-License-Identifier: MIT
// The C++ layer's own promises, with float and double filters side by side
// in this one translation unit: whole-signal calls give the per-sample C
// calls' outputs, ownership holds across moves, caller memory and failed
// allocations, and ranges of the wrong size fail before any access.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "allochook.h"
#include "quolm/quolm.hpp"

namespace {

template <class T>
std::vector<T> noise(std::size_t n, unsigned seed) {
  std::vector<T> v(n);
  for (T &s : v) {
    seed = seed * 1664525u + 1013904223u;
    s = T(double(seed >> 8) / 16777216.0 - 0.5);
  }
  return v;
}

// x through a fixed 3-tap system, the desired signal of every case.
template <class T>
std::vector<T> desired(const std::vector<T> &x) {
  std::vector<T> d(x.size());
  for (std::size_t n = 2; n < x.size(); ++n) d[n] = T(0.5) * x[n] - T(0.3) * x[n - 2];
  return d;
}

template <class T>
void expectSameBits(const std::vector<T> &got, const std::vector<T> &want) {
  ASSERT_EQ(got.size(), want.size());
  EXPECT_EQ(std::memcmp(got.data(), want.data(), got.size() * sizeof(T)), 0);
}

// The whole-signal call of a per-sample filter against the C loop on a
// record that the caller set up the same way.
template <class F, class Rec, class T>
void expectEstimatorAsC(F layer, Rec rec, T (*update)(Rec *, T, T), void (*release)(Rec *)) {
  const std::vector<T> x = noise<T>(600, 7), d = desired(x);
  std::vector<T> y(x.size()), want(x.size());
  layer.filterUpdate(x, d, y);
  for (std::size_t n = 0; n < x.size(); ++n) want[n] = update(&rec, x[n], d[n]);
  release(&rec);
  expectSameBits(y, want);
}

TEST(CppLayer, WholeSignalCallsGiveThePerSampleCOutputs) {
  quolm_c32f::quolmNlms n32;
  ASSERT_EQ(nlms32fInit(&n32, 16, 0.1f), 0);
  expectEstimatorAsC(quolm::Nlms<float>(16, 0.1f), n32, nlms32fFilterUpdate, nlms32fFree);
  quolm_c64f::quolmNlms n64;
  ASSERT_EQ(nlms64fInit(&n64, 16, 0.1), 0);
  expectEstimatorAsC(quolm::Nlms<double>(16, 0.1), n64, nlms64fFilterUpdate, nlms64fFree);
  quolm_c64f::quolmLms l64;
  ASSERT_EQ(lms64fInit(&l64, 5, 0.01), 0);
  expectEstimatorAsC(quolm::Lms<double>(5, 0.01, quolm::LmsLaw::signSign), l64,
                     lms64fFilterUpdateSignSign, lms64fFree);
  quolm_c64f::quolmRls r64;
  ASSERT_EQ(rls64fInit(&r64, 6, 0.99, 0.5), 0);
  expectEstimatorAsC(quolm::Rls<double>(6, 0.99, 0.5), r64, rls64fFilterUpdate, rls64fFree);
  // TDLMS on the layer's own tables against tables built here: M = 16.
  DT32S work[2 + 2];
  float table[8];
  ASSERT_EQ(quolmFftTables32f(16, work, table), 0);
  quolm_c32f::quolmTdlms t32;
  ASSERT_EQ(tdlms32fInit(&t32, 12, 0.05f, work, table), 0);
  expectEstimatorAsC(quolm::Tdlms<float>(12, 0.05f), t32, tdlms32fFilterUpdate, tdlms32fFree);
}

TEST(CppLayer, BlockPredictorAndFirCallsGiveTheCOutputs) {
  const std::vector<double> x = noise<double>(480, 3), d = desired(x);
  std::vector<double> y(x.size()), e(x.size()), wantY(x.size()), wantE(x.size());
  quolm::Pbfdaf<double> pbfdaf(8, 8, 3, 0.05);  // M = 16, own tables
  pbfdaf.filterUpdate(x, d, y, e);
  DT32S work[2 + 2];
  double table[8];
  quolmFftTables64f(16, work, table);
  quolm_c64f::quolmPbfdaf p;
  ASSERT_EQ(pbfdaf64fInit(&p, 8, 8, 3, 0.05, 1, work, table), 0);
  std::vector<double> xs = x, ds = d;
  for (std::size_t i = 0; i < x.size(); i += 8)
    pbfdaf64fFilterUpdate(&p, &xs[i], &ds[i], &wantY[i], &wantE[i]);
  pbfdaf64fFree(&p);
  expectSameBits(y, wantY);
  expectSameBits(e, wantE);

  const std::vector<float> xf = noise<float>(300, 5);
  std::vector<float> yf(xf.size()), ef(xf.size()), wantYf(xf.size()), wantEf(xf.size());
  quolm::Lbpef<float>(4, 0.02f).filterUpdate(xf, yf, ef);
  quolm_c32f::quolmLbpef b;
  ASSERT_EQ(lbpef32fInit(&b, 4, 0.02f), 0);
  for (std::size_t n = 0; n < xf.size(); ++n) {
    wantYf[n] = lbpef32fFilterUpdate(&b, xf[n]);
    wantEf[n] = b.err;
  }
  lbpef32fFree(&b);
  expectSameBits(yf, wantYf);
  expectSameBits(ef, wantEf);

  std::vector<float> h = {0.25f, -0.5f, 1.0f};
  quolm::Fir<float>(h).filter(xf, yf);
  quolm_c32f::quolmFir fir;
  ASSERT_EQ(fir32fInit(&fir, 3, h.data()), 0);
  for (std::size_t n = 0; n < xf.size(); ++n) wantYf[n] = fir32fFilter(&fir, xf[n]);
  fir32fFree(&fir);
  expectSameBits(yf, wantYf);
}

TEST(CppLayer, BothBuildsDeclareOneUntaggedNextPow2) {
  EXPECT_EQ(&quolm_c32f::nextPow2, &quolm_c64f::nextPow2);
  EXPECT_EQ(nextPow2(5), 3);  // unqualified: not ambiguous with both builds seen
}

TEST(CppLayer, FiltersSharingTablesKeepWorkAreasOfTheirOwn) {
  quolm::FftTables<float> tables(64);
  quolm::Tdlms<float> a(12, 0.05f, tables), b(20, 0.05f, tables), own(12, 0.05f);
  EXPECT_EQ(a.record().fftTable, b.record().fftTable);
  EXPECT_NE(a.record().fftWork, b.record().fftWork);
  EXPECT_NE(a.record().fftWork, tables.work());
  const std::vector<float> x = noise<float>(200, 9), d = desired(x);
  std::vector<float> y(x.size()), want(x.size());
  a.filterUpdate(x, d, y);  // a larger set gives the same results
  own.filterUpdate(x, d, want);
  expectSameBits(y, want);
}

// Every allocation of make() fails in turn: each failure raises -3 and
// leaks nothing; the run that succeeds releases everything on destruction.
template <class Make>
void expectCleanFailures(Make make) {
  for (int k = 1; k < 64; ++k) {
    allochook::arm(k);
    int code = 0;
    try {
      auto filter = make();
      EXPECT_TRUE(filter);
    } catch (const quolm::Error &e) {
      code = e.code();
    }
    const allochook::Counts c = allochook::disarm();
    EXPECT_EQ(c.live, 0) << "after allocation " << k << " failed";
    if (c.calls < k) {
      EXPECT_EQ(code, 0);
      return;
    }
    EXPECT_EQ(code, -3) << "allocation " << k << " failed";
  }
  ADD_FAILURE() << "kept allocating";
}

TEST(CppLayer, FailedAllocationsRaiseMinusThreeAndLeakNothing) {
  if (!allochook::available()) GTEST_SKIP() << "no allocation hook in sanitizer builds";
  const std::vector<float> path = {0.5f, 0.25f};
  const std::vector<double> taps(9, 0.1);
  expectCleanFailures([] { return quolm::Nlms<float>(32, 0.1f); });
  expectCleanFailures([] { return quolm::Pbfdaf<double>(64, 64, 4, 0.05); });
  expectCleanFailures([&] { return quolm::Fxlms<float>(16, 0.01f, path, path); });
  expectCleanFailures([&] { return quolm::Fir<double>(taps); });
  expectCleanFailures([] { return quolm::Lms<double>(8, 0.1).clone(); });

  quolm::Pbfdaf<float> grown(4, 4, 2, 0.05f);  // M = 8; resizing to M = 64 rebuilds tables
  for (int k = 1;; ++k) {
    allochook::arm(k);
    int code = 0;
    try {
      grown.resize(32, 32, 2);
    } catch (const quolm::Error &e) {
      code = e.code();
    }
    const allochook::Counts c = allochook::disarm();
    if (c.calls < k) break;
    EXPECT_EQ(code, -3);
    EXPECT_EQ(c.live, 0) << "after allocation " << k << " failed";
    EXPECT_EQ(grown.size(), 4u);
  }
  EXPECT_EQ(grown.size(), 32u);
}

TEST(CppLayer, ProcessingNeverAllocates) {
  if (!allochook::available()) GTEST_SKIP() << "no allocation hook in sanitizer builds";
  const std::vector<double> x = noise<double>(256, 19), d = desired(x);
  std::vector<double> y(x.size()), e(x.size());
  quolm::Nlms<double> nlms(32, 0.1);
  quolm::Pbfdaf<double> pbfdaf(16, 16, 4, 0.05);
  quolm::Lfpef<double> lfpef(4, 0.01);
  allochook::arm();
  nlms.filterUpdate(x, d, y, e);
  nlms.filterOnly(x, y);
  y[0] = nlms.filterUpdate(x[0], d[0]);
  pbfdaf.filterUpdate(x, d, y, e);
  pbfdaf.filterOnly(x, y);
  lfpef.filterUpdate(x, y, e);
  EXPECT_EQ(allochook::disarm().calls, 0);
}

TEST(CppLayer, ResizeMovesOwnedArraysAndTables) {
  quolm::Fir<float> fir(std::vector<float>{1, 2, 3});
  fir.resize(5);  // the layer's copy of the taps grows; the new ones are zero
  std::vector<float> h(5);
  fir.getCoefs(h);
  EXPECT_EQ(h, (std::vector<float>{1, 2, 3, 0, 0}));
  fir.resize(2);
  EXPECT_EQ(fir.filter(1.0f), 1.0f);

  // M = 16 -> 64: the layer rebuilds its own tables, as a C caller hands
  // its record a larger set before Resize.
  quolm::Tdlms<double> grown(12, 0.05);
  DT32S work16[2 + 2], work64[2 + 4];
  double table16[8], table64[32];
  quolmFftTables64f(16, work16, table16);
  quolmFftTables64f(64, work64, table64);
  quolm_c64f::quolmTdlms c;
  ASSERT_EQ(tdlms64fInit(&c, 12, 0.05, work16, table16), 0);
  const std::vector<double> x = noise<double>(300, 23), d = desired(x);
  std::vector<double> y(x.size()), want(x.size());
  grown.filterUpdate(x, d, y);
  for (std::size_t n = 0; n < x.size(); ++n) tdlms64fFilterUpdate(&c, x[n], d[n]);
  grown.resize(40);
  c.fftWork = work64;
  c.fftTable = table64;
  ASSERT_EQ(tdlms64fResize(&c, 40), 0);
  grown.filterUpdate(x, d, y);
  for (std::size_t n = 0; n < x.size(); ++n) want[n] = tdlms64fFilterUpdate(&c, x[n], d[n]);
  tdlms64fFree(&c);
  expectSameBits(y, want);
}

TEST(CppLayer, MovesCarryTheStateAndLeaveEmptyFilters) {
  const std::vector<float> x = noise<float>(200, 11), d = desired(x);
  std::vector<float> y(x.size()), want(x.size());
  quolm::Pbfdaf<float> a(4, 4, 2, 0.05f), twin(4, 4, 2, 0.05f);
  std::vector<float> e(x.size());
  a.filterUpdate(x, d, y, e);
  twin.filterUpdate(x, d, want, e);
  quolm::Pbfdaf<float> b(std::move(a));  // the FFT tables travel with it
  EXPECT_FALSE(a);
  b.filterUpdate(x, d, y, e);
  twin.filterUpdate(x, d, want, e);
  expectSameBits(y, want);
  a = std::move(b);  // a moved-from filter can be assigned to
  EXPECT_TRUE(a);
  EXPECT_FALSE(b);
  b = quolm::Pbfdaf<float>(8, 8, 1, 0.1f);  // and a live one releases its old state
  EXPECT_EQ(b.size(), 8u);
  quolm::Pbfdaf<float> c = std::move(b);
  b = std::move(c);
  EXPECT_TRUE(b);
}

TEST(CppLayer, CloneContinuesLikeTheOriginalAndIsIndependent) {
  const std::vector<double> x = noise<double>(300, 13), d = desired(x);
  quolm::Lms<double> original(6, 0.05, quolm::LmsLaw::signError);
  std::vector<double> y(x.size()), want(x.size());
  original.filterUpdate(x, d, y);
  quolm::Lms<double> copy = original.clone();
  copy.filterUpdate(x, d, y);
  original.filterUpdate(x, d, want);
  expectSameBits(y, want);
  copy.reset();
  std::vector<double> w(6);
  original.getCoefs(w);
  EXPECT_NE(w, std::vector<double>(6, 0.0));
}

TEST(CppLayer, CallerMemoryIsUsedInPlaceAndNeverReleased) {
  std::vector<double> coefs(8), state(8);
  {
    quolm::Nlms<double> f(quolm::callerMemory, 8, 0.1, coefs, state);
    const std::vector<double> x = noise<double>(100, 17), d = desired(x);
    std::vector<double> y(x.size());
    f.filterUpdate(x, d, y);
    try {
      f.resize(4);
      ADD_FAILURE() << "resized a filter in caller memory";
    } catch (const quolm::Error &e) {
      EXPECT_EQ(e.code(), -2);
    }
  }
  EXPECT_NE(coefs[0], 0.0);  // the filter adapted in place; the buffers outlive it
  std::vector<double> small(7);
  try {
    quolm::Nlms<double> f(quolm::callerMemory, 8, 0.1, coefs, small);
    ADD_FAILURE() << "accepted a 7-value state buffer for 8 taps";
  } catch (const quolm::Error &e) {
    EXPECT_EQ(e.code(), -2);
    EXPECT_NE(std::string(e.what()).find("stateBuf.size() = 7"), std::string::npos) << e.what();
  }
}

// Each call must throw -2 naming the bad size, and write nothing.
template <class Call>
void expectRefused(Call call, const char *text) {
  try {
    call();
    ADD_FAILURE() << "accepted: " << text;
  } catch (const quolm::Error &e) {
    EXPECT_EQ(e.code(), -2);
    EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
  }
}

TEST(CppLayer, RangesOfTheWrongSizeFailBeforeAnyAccess) {
  const float mark = -7.0f;
  std::vector<float> x(16, 0.5f), d(16, 0.25f), shortY(15, mark), w(7, mark);
  quolm::Nlms<float> f(8, 0.1f), twin(8, 0.1f);
  expectRefused([&] { f.filterUpdate(x, d, shortY); }, "filterUpdate(x.size() = 16, d.size() = 16, y.size() = 15)");
  expectRefused([&] { f.getCoefs(w); }, "getCoefs(size = 7, expected = 8)");
  expectRefused([&] { f.setCoefs(w); }, "setCoefs(size = 7");
  expectRefused([&] { f.filterOnly(shortY, x); }, "filterOnly");
  EXPECT_EQ(shortY, std::vector<float>(15, mark));
  EXPECT_EQ(w, std::vector<float>(7, mark));
  std::vector<float> y(16), want(16);  // the refused calls left the filter as it was
  f.filterUpdate(x, d, y);
  twin.filterUpdate(x, d, want);
  expectSameBits(y, want);

  quolm::Bnlms<double> block(8, 4, 0.1);
  std::vector<double> x10(10), out10(10, mark);
  expectRefused([&] { block.filterUpdate(x10, x10, out10, out10); }, "samples = 10, blockLength = 4");
  EXPECT_EQ(out10, std::vector<double>(10, mark));
  quolm::Fir<float> fir(x);
  expectRefused([&] { fir.filter(x, shortY); }, "y.size() = 15");
  try {
    quolm::Nlms<double> bad(0, 0.1);
    ADD_FAILURE() << "built a 0-tap filter";
  } catch (const quolm::Error &e) {
    EXPECT_STREQ(e.what(), "quolm::Nlms<double>(n = 0, mu = 0.1): size or parameter out of range (code -2)");
  }
}

}  // namespace
