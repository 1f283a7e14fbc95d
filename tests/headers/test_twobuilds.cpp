// SPDX-License-Identifier: MIT
// Both builds in one C++ program: each unit's records stay its own, and the
// untagged nextPow2 that both libraries export behaves the same in either.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "twobuilds.h"

TEST(TwoBuilds, EachUnitIdentifiesTheSystemWithItsOwnRecords) {
  const std::vector<double> single = identifyWith32f(3), wide = identifyWith64f(5);
  ASSERT_EQ(single.size(), 3u * 2 * 4);
  ASSERT_EQ(wide.size(), 5u * 2 * 4);
  const double plant[4] = {0.5, -0.25, 0.125, 0.0625};
  for (size_t i = 0; i < single.size(); ++i) EXPECT_NEAR(single[i], plant[i % 4], 1e-3) << i;
  for (size_t i = 0; i < wide.size(); ++i) EXPECT_NEAR(wide[i], plant[i % 4], 1e-3) << i;
}

TEST(TwoBuilds, NextPow2IsTheSameInEitherLibrary) {
  using NextPow2 = int32_t (*)(int64_t);
  NextPow2 fns[2];
  const char *files[2] = {QUOLM_LIB32F_FILE, QUOLM_LIB64F_FILE};
  for (int b = 0; b < 2; ++b) {
    void *lib = dlopen(files[b], RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    fns[b] = reinterpret_cast<NextPow2>(dlsym(lib, "nextPow2"));
    ASSERT_NE(fns[b], nullptr) << files[b];
  }
  const int64_t edge = int64_t(1) << 30;
  for (int64_t n : {int64_t(-5), int64_t(-1), int64_t(0), int64_t(1), int64_t(2), int64_t(3),
                    int64_t(1000), edge - 1, edge, edge + 1, int64_t(1) << 40, INT64_MIN, INT64_MAX})
    EXPECT_EQ(fns[0](n), fns[1](n)) << n;
}
