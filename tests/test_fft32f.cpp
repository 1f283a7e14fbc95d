// SPDX-License-Identifier: MIT
// The real FFT engine, its table builder and the spectral routines. The
// engine is internal to the library, so its source is compiled in here.
#include <math.h>

#include "../src32f/fft32f.cpp"
#include "../src32f/spectral32f.h"
#include "fdafutil32f.h"

using namespace quolm32f;

namespace {

const double kTwoPi = 6.283185307179586476925;

// A table set for n values that runs the transform.
struct Tables : TableSet {
  explicit Tables(DT32S n) : TableSet(n) {}
  void fft(DT32S n, DT32S dir, DT32F *a) { realFft(n, dir, a, w(), t()); }
};

// The packed spectrum of x by direct summation in long double.
std::vector<long double> directSpectrum(const Vec &x) {
  const size_t n = x.size();
  std::vector<long double> c(n), s(n), out(n, 0.0L);
  for (size_t j = 0; j < n; ++j) {
    c[j] = cosl((long double)kTwoPi * j / n);
    s[j] = sinl((long double)kTwoPi * j / n);
  }
  for (size_t k = 0; k <= n / 2; ++k) {
    long double re = 0, im = 0;
    for (size_t j = 0; j < n; ++j) {
      re += x[j] * c[(j * k) % n];
      im += x[j] * s[(j * k) % n];
    }
    if (k == 0)
      out[0] = re;
    else if (k == n / 2)
      out[1] = re;
    else
      out[2 * k] = re, out[2 * k + 1] = im;
  }
  return out;
}

double rms(const Vec &v) {
  double s = 0;
  for (DT32F x : v) s += double(x) * x;
  return sqrt(s / v.size());
}

}  // namespace

TEST(FftTables, MatchTheReferenceSetsFor8And16) {
  DT32S work[4] = {9, 9, 9, 9};
  DT32F table[8];
  ASSERT_EQ(quolmFftTables32f(16, work, table), 0);
  const double want16[8] = {1,         0,         0.7071068, 0.7071068,
                            0.7071068, 0.4619398, 0.3535534, 0.1913417};
  EXPECT_EQ(work[0], 4);
  EXPECT_EQ(work[1], 4);
  EXPECT_EQ(work[2], 0);
  EXPECT_EQ(work[3], 0);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(table[i], want16[i], 1e-7) << i;

  DT32F table8[4] = {0, 0, 0, 0};
  ASSERT_EQ(quolmFftTables32f(8, work, table8), 0);
  EXPECT_EQ(work[0], 2);
  EXPECT_EQ(work[1], 2);
  EXPECT_EQ(work[2], 0);
  EXPECT_NEAR(table8[2], 0.7071068, 1e-7);
  EXPECT_NEAR(table8[3], 0.3535534, 1e-7);
}

TEST(FftTables, RejectsBadArgumentsAndSizesTheWorkArea) {
  DT32S work[8];
  DT32F table[8];
  EXPECT_EQ(quolmFftTables32f(16, nullptr, table), -1);
  EXPECT_EQ(quolmFftTables32f(16, work, nullptr), -1);
  for (DT32S bad : {-4, 0, 1, 6, 12, 24})
    EXPECT_EQ(quolmFftTables32f(bad, work, table), -2) << bad;
  EXPECT_EQ(quolmFftTables32f(2, work, table), 0);
  EXPECT_EQ(work[0], 0);
  EXPECT_EQ(work[1], 0);
  const DT32S lens[][2] = {{2, 1},  {8, 1},   {16, 2},    {32, 2},
                           {64, 4}, {128, 4}, {4096, 32}, {1 << 30, 16384}};
  for (const auto &nl : lens) EXPECT_EQ(quolmFftWorkLen32f(nl[0]), nl[1]);
}

TEST(FftTables, ServeTransformsUpToTheirSize) {
  Tables t16(16);
  for (DT32S m : {2, 4, 8, 16}) EXPECT_TRUE(fftTablesServe(t16.work.data(), m));
  EXPECT_FALSE(fftTablesServe(t16.work.data(), 32));
  EXPECT_FALSE(fftTablesServe(nullptr, 2));
  Tables t2(2);
  EXPECT_TRUE(fftTablesServe(t2.work.data(), 2));
  EXPECT_FALSE(fftTablesServe(t2.work.data(), 4));
  DT32S odd[2] = {6, 8}, negative[2] = {-4, 4};
  EXPECT_FALSE(fftTablesServe(odd, 16));
  EXPECT_FALSE(fftTablesServe(negative, 2));
}

TEST(RealFft, ForwardMatchesTheDirectSumForEverySize) {
  Rng rng(11);
  // Error bound of the factorised transform: a few ulps times log2(N), as a
  // fraction of the spectrum's rms size.
  const double ulp = sizeof(DT32F) == 4 ? 6e-8 : 1.1e-16;
  for (DT32S n = 2, lg = 1; n <= 4096; n *= 2, ++lg) {
    Tables t(n);
    Vec x = rng.vec(n);
    const std::vector<long double> want = directSpectrum(x);
    t.fft(n, -1, x.data());
    double worst = 0, size = 0;
    for (DT32S i = 0; i < n; ++i) {
      worst = fmax(worst, fabs(double(x[i] - want[i])));
      size += double(want[i] * want[i]);
    }
    size = sqrt(size / n);
    EXPECT_LT(worst / size, 4 * ulp * lg) << "N = " << n;
  }
}

TEST(RealFft, InverseScaledByTwoOverNRestoresTheBlock) {
  Rng rng(12);
  const double tol = sizeof(DT32F) == 4 ? 2e-6 : 5e-15;
  for (DT32S n = 2, lg = 1; n <= 8192; n *= 2, ++lg) {
    Tables t(n);
    const Vec x = rng.vec(n);
    Vec a = x;
    t.fft(n, -1, a.data());
    t.fft(n, 1, a.data());
    double worst = 0;
    for (DT32S i = 0; i < n; ++i)
      worst = fmax(worst, fabs(double(a[i] * (DT32F(2) / n) - x[i])));
    EXPECT_LT(worst / rms(x), tol * lg) << "N = " << n;
  }
}

// FNV-1a digest of the bits of every forward and inverse result for
// N = 2 .. 8192, with the set for N and with the set for 8192. The digests
// were taken from the plain radix-4 transform before its stages were fused
// and widened: any change in a butterfly's arithmetic or order shows here.
TEST(RealFft, ResultsAreBitForBitThoseOfThePlainTransform) {
#ifdef QUOLM_BUILD_DT64F
  const uint64_t want = 0xdd949f20510d7bc9ull;
#else
  const uint64_t want = 0x10b64dc6a9761041ull;
#endif
  uint64_t h = 14695981039346656037ull;
  auto digest = [&h](const Vec &v) {
    const unsigned char *b = reinterpret_cast<const unsigned char *>(v.data());
    for (size_t i = 0; i < v.size() * sizeof(DT32F); ++i)
      h = (h ^ b[i]) * 1099511628211ull;
  };
  Rng rng(13);
  Tables big(8192);
  for (DT32S n = 2; n <= 8192; n *= 2) {
    Tables own(n);
    const Vec x = rng.vec(n);
    for (Tables *t : {&own, &big}) {
      Vec a = x;
      t->fft(n, -1, a.data());
      digest(a);
      t->fft(n, 1, a.data());
      digest(a);
    }
  }
  EXPECT_EQ(h, want) << std::hex << "digest 0x" << h;
}

TEST(RealFft, TwoPointTransformIsExactAndImpulseGivesPlusSine) {
  Tables t(2);
  DT32F a[2] = {DT32F(3), DT32F(-5)};
  t.fft(2, -1, a);
  EXPECT_EQ(a[0], DT32F(-2));
  EXPECT_EQ(a[1], DT32F(8));
  t.fft(2, 1, a);
  EXPECT_EQ(a[0], DT32F(3));
  EXPECT_EQ(a[1], DT32F(-5));

  const DT32S n = 64;
  Tables t64(n);
  Vec x(n, DT32F(0));
  x[1] = 1;
  t64.fft(n, -1, x.data());
  EXPECT_NEAR(x[0], 1, 1e-6);
  EXPECT_NEAR(x[1], -1, 1e-6);
  for (DT32S k = 1; k < n / 2; ++k) {
    EXPECT_NEAR(x[2 * k], cos(kTwoPi * k / n), 1e-6) << k;
    EXPECT_NEAR(x[2 * k + 1], sin(kTwoPi * k / n), 1e-6) << k;
  }
}

// N = 4 reads no table value, N = 8 only the cosine table, N = 16 w[2] and
// the cosine table: the other entries are poisoned and must not matter.
TEST(RealFft, SmallSizesReadOnlyTheTableEntriesTheyNeed) {
  Rng rng(13);
  const DT32F nan = DT32F(NAN);
  struct Case {
    DT32S n;
    std::vector<int> poisoned;
  };
  const Case cases[] = {{4, {0, 1}}, {8, {0, 1}}, {16, {0, 1, 3}}};
  for (const Case &c : cases) {
    Tables clean(c.n), poisoned(c.n);
    for (int i : c.poisoned) poisoned.table[i] = nan;
    poisoned.table.back() = nan;  // the slack past the N/2 values
    if (c.n == 4) poisoned.table.assign(poisoned.table.size(), nan);
    const Vec x = rng.vec(c.n);
    Vec a = x, b = x;
    clean.fft(c.n, -1, a.data());
    poisoned.fft(c.n, -1, b.data());
    for (DT32S i = 0; i < c.n; ++i) EXPECT_EQ(a[i], b[i]) << c.n << " " << i;
    clean.fft(c.n, 1, a.data());
    poisoned.fft(c.n, 1, b.data());
    for (DT32S i = 0; i < c.n; ++i) EXPECT_EQ(a[i], b[i]) << c.n << " " << i;
  }
}

TEST(RealFft, LargerTableSetServesSmallerSizes) {
  Rng rng(14);
  Tables big(4096);
  for (DT32S n = 2; n <= 2048; n *= 2) {
    Tables own(n);
    const Vec x = rng.vec(n);
    Vec a = x, b = x;
    own.fft(n, -1, a.data());
    big.fft(n, -1, b.data());
    for (DT32S i = 0; i < n; ++i) EXPECT_NEAR(a[i], b[i], 1e-5) << n;
    own.fft(n, 1, a.data());
    big.fft(n, 1, b.data());
    for (DT32S i = 0; i < n; ++i) EXPECT_NEAR(a[i], b[i], 2e-5 * n) << n;
  }
}

// Products of spectra in the packed convention give circular convolution.
TEST(RealFft, SpectrumProductIsCircularConvolution) {
  Rng rng(15);
  const DT32S n = 32;
  Tables t(n);
  const Vec x = rng.vec(n), h = rng.vec(n);
  Vec X = x, H = h, Y(n);
  t.fft(n, -1, X.data());
  t.fft(n, -1, H.data());
  mulSpectrum(H.data(), X.data(), Y.data(), n / 2 + 1);
  t.fft(n, 1, Y.data());
  scaleVector(DT32F(2) / n, Y.data(), n);
  for (DT32S i = 0; i < n; ++i) {
    double want = 0;
    for (DT32S k = 0; k < n; ++k) want += double(h[k]) * x[(i - k + n) % n];
    EXPECT_NEAR(Y[i], want, 1e-5) << i;
  }
}

TEST(RealFft, AllocatesNothing) {
  Tables t(1024);
  Vec a = Rng(16).vec(1024);
  expectNoAllocation([&] {
    t.fft(1024, -1, a.data());
    t.fft(1024, 1, a.data());
  });
}

TEST(Spectral, ElementWiseRoutines) {
  Vec a = {1, 2, 3}, b = {10, 20, 30}, out(3);
  subtractVector(a.data(), b.data(), out.data(), 3);
  EXPECT_EQ(out, (Vec{9, 18, 27}));
  subtractVector(a.data(), b.data(), a.data(), 3);  // out = a
  EXPECT_EQ(a, (Vec{9, 18, 27}));
  subtractVector(a.data(), b.data(), b.data(), 3);  // out = b
  EXPECT_EQ(b, (Vec{1, 2, 3}));
  scaleVector(DT32F(2), b.data(), 2);
  EXPECT_EQ(b, (Vec{2, 4, 3}));
  scaleComplex(DT32F(-1), b.data(), 1);
  EXPECT_EQ(b, (Vec{-2, -4, 3}));
  Vec p = {1, 1, 1}, x = {2, 4, 6};
  smoothPower(DT32F(0.5), x.data(), DT32F(0.25), p.data(), 3);
  EXPECT_EQ(p, (Vec{1.25, 2.25, 3.25}));

  // Counts below 1: nothing written.
  const Vec keep = p;
  subtractVector(x.data(), x.data(), p.data(), 0);
  scaleVector(DT32F(2), p.data(), -1);
  scaleComplex(DT32F(2), p.data(), 0);
  EXPECT_EQ(p, keep);
}

TEST(Spectral, BinWiseRoutinesKeepDcAndNyquistReal) {
  // bins = 4 (N = 6 layout): DC 1, Nyquist 2, bins 1, 2 complex.
  const Vec A = {1, 2, 3, 4, 5, 6}, B = {7, -1, 2, -3, -4, 5};
  Vec out(6, 99);
  mulSpectrum(A.data(), B.data(), out.data(), 4);
  EXPECT_EQ(out,
            (Vec{7, -2, 3 * 2 + 4 * 3, 3 * -3 + 4 * 2, -20 - 30, 25 - 24}));
  Vec acc(6, 1);
  macSpectrum(A.data(), B.data(), acc.data(), 4);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(acc[i], out[i] + 1) << i;

  Vec P(4, -1);
  powerSpectrum(A.data(), P.data(), 4);
  EXPECT_EQ(P, (Vec{1, 25, 61, 4}));  // Nyquist power last

  Vec C(6, 0);
  conjCopySpectrum(A.data(), C.data(), 4);
  EXPECT_EQ(C, (Vec{1, 2, 3, -4, 5, -6}));
  Vec X = A;
  conjSpectrum(X.data(), 4);
  EXPECT_EQ(X, C);

  Vec E = {2, 8, 3, 6, 9, 12}, Pn = {1, 2, 3, 3};
  normSpectrum(Pn.data(), DT32F(1), E.data(), 4);
  EXPECT_EQ(E, (Vec{1, 2, 1, 2, 2.25, 3}));  // X[1] pairs with P[bins - 1]

  // bins = 2: only the two real values.
  Vec two = {3, -2}, p2(2), m2(2, 0);
  powerSpectrum(two.data(), p2.data(), 2);
  EXPECT_EQ(p2, (Vec{9, 4}));
  mulSpectrum(two.data(), two.data(), m2.data(), 2);
  EXPECT_EQ(m2, (Vec{9, 4}));

}
