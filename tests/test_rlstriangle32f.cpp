// SPDX-License-Identifier: MIT
// The RLS triangle kernels: the scalar reference against the textbook loops
// over the full symmetric matrix, and the wide forms against the reference,
// bit for bit over sizes around the block widths (4 and 8 rows) and the runs
// of up to 8 blocks, with the band of 4 and the single rows after them. The
// kernels are internal to the library, so their source is compiled in here.
#include <string.h>

#include "../src32f/rlstriangle32f.cpp"
#include "testutil32f.h"

using namespace quolm32f::rlstriangle;

namespace {

const int kSizes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  13, 15, 16, 17, 18,
                      19, 20, 31, 32, 33, 36, 37, 42, 64, 67, 76, 79, 137};

// P(i, j) of a packed lower triangle, read on either side of the diagonal.
DT32F at(const Vec &P, int i, int j) {
  if (j > i) std::swap(i, j);
  return P[size_t(i) * (i + 1) / 2 + j];
}

bool sameBits(const Vec &a, const Vec &b) {
  return a.size() == b.size() &&
         memcmp(a.data(), b.data(), a.size() * sizeof(DT32F)) == 0;
}

TEST(RlsTriangle, TimesVectorKeepsEachRowsOrderAndRounding) {
  Rng rng(7);
  for (int n : kSizes) {
    const Vec P = rng.vec(size_t(n) * (n + 1) / 2), x = rng.vec(size_t(n));
    Vec plain(size_t(n), DT32F(0));
    for (int i = 0; i < n; ++i) {
      DT32F sum = 0;  // every partial sum stored, in increasing j
      for (int j = 0; j < n; ++j)
        sum = DT32F(double(sum) + double(at(P, i, j)) * double(x[j]));
      plain[size_t(i)] = sum;
    }
    Vec scalar(size_t(n), DT32F(99)), wide(size_t(n), DT32F(-99));
    timesVectorScalar(P.data(), x.data(), scalar.data(), n);
    timesVector(P.data(), x.data(), wide.data(), n);
    EXPECT_TRUE(sameBits(scalar, plain)) << "n = " << n;
    EXPECT_TRUE(sameBits(wide, scalar)) << "n = " << n;
  }
}

TEST(RlsTriangle, UpdateMatchesTheReferenceWithAndWithoutCoefficients) {
  Rng rng(11);
  const double q = 1.7, invLambda = 1.0 / 0.99, e = -0.3;
  for (int n : kSizes) {
    const Vec P0 = rng.vec(size_t(n) * (n + 1) / 2), g = rng.vec(size_t(n));
    const Vec w0 = rng.vec(size_t(n));
    Vec plainP = P0, plainW = w0;
    for (int i = 0, row = 0; i < n; row += ++i) {
      const double k = double(g[size_t(i)]) / q;
      plainW[size_t(i)] = DT32F(double(w0[size_t(i)]) + k * e);
      for (int j = 0; j <= i; ++j) {
        DT32F &p = plainP[size_t(row + j)];
        p = DT32F(invLambda * double(p) - k * double(g[size_t(j)]));
      }
    }
    for (bool adapt : {true, false}) {
      Vec sP = P0, sW = w0, wP = P0, wW = w0;
      updateScalar(sP.data(), g.data(), adapt ? sW.data() : nullptr, n, q,
                   invLambda, e);
      update(wP.data(), g.data(), adapt ? wW.data() : nullptr, n, q, invLambda,
             e);
      EXPECT_TRUE(sameBits(sP, plainP)) << "n = " << n;
      EXPECT_TRUE(sameBits(sW, adapt ? plainW : w0)) << "n = " << n;
      EXPECT_TRUE(sameBits(wP, sP) && sameBits(wW, sW)) << "n = " << n;
    }
  }
}

// Zeros keep their sign in every lane: with q < 0, k = +0/q is -0, and with
// P(i, j) = -0 the reference stores -0 - (-0) = +0; a lane that broadcast k
// as 0 + k (+0) would store -0.
TEST(RlsTriangle, UpdateKeepsTheSignOfZeros) {
  for (int n : {8, 17}) {
    const Vec P0(size_t(n) * (n + 1) / 2, DT32F(-0.0));
    Vec g(size_t(n), DT32F(0));
    for (int i = 0; i < n; i += 2) g[size_t(i)] = 1;
    Vec sP = P0, wP = P0;
    updateScalar(sP.data(), g.data(), nullptr, n, -1.5, 2.0, 0.5);
    update(wP.data(), g.data(), nullptr, n, -1.5, 2.0, 0.5);
    EXPECT_TRUE(sameBits(wP, sP)) << "n = " << n;
  }
}

}  // namespace
