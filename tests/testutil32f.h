/* SPDX-License-Identifier: MIT */
// Shared test helpers; the double-build test program is generated from the
// same text, so DT32F below reads DT64F there.
#ifndef QUOLM_TESTUTIL32F_H
#define QUOLM_TESTUTIL32F_H

#include <gtest/gtest.h>
#include <limits.h>
#include <math.h>
#include <stdint.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "allochook.h"
#include "quolm32f.h"

typedef std::vector<DT32F> Vec;

// Relative tolerance of the build's sample type for results that are not
// bit-exact.
constexpr double kEps = sizeof(DT32F) == 4 ? 2e-6 : 1e-14;

// Samples of the long stability runs: a million in the plain build, a tenth
// under the sanitizers, whose question (memory, undefined behaviour) does not
// grow with the length of the run.
#ifdef __SANITIZE_ADDRESS__
constexpr int kLongRun = 100000;
#else
constexpr int kLongRun = 1000000;
#endif

// Deterministic generator of the tests (xorshift64*).
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 2654435761u + 1) {}
  uint64_t next() {
    s ^= s >> 12; s ^= s << 25; s ^= s >> 27;
    return s * 2685821657736338717ull;
  }
  double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
  double sym() { return 2.0 * uniform() - 1.0; }  // uniform in [-1, 1)
  double gauss() {
    double u = uniform() + 1e-300, v = uniform();
    return sqrt(-2.0 * log(u)) * cos(6.283185307179586 * v);
  }
  Vec vec(size_t n, double scale = 1.0) {
    Vec v(n);
    for (DT32F &x : v) x = DT32F(scale * sym());
    return v;
  }
};

// 10*log10 of a ratio of powers.
inline double dB(double num, double den) { return 10.0 * log10(num / den); }

// Runs op with the allocation hook armed and expects no allocation. Without
// the hook (sanitizer builds) op still runs, unchecked, so the test goes on
// from the same state.
inline void expectNoAllocation(const std::function<void()> &op) {
  allochook::arm();
  op();
  const allochook::Counts c = allochook::disarm();
  if (allochook::available())
    EXPECT_EQ(c.calls, 0) << "allocations inside a processing call";
}

// Fails the 1st, 2nd, ... allocation of setUp() in turn until it runs with no
// failure left to inject. Each failing run must return -3 and leave nothing
// allocated; check(rc) inspects the record after each failed run. The final
// run must succeed; tearDown() must release what it allocated. Without the
// hook (sanitizer builds) only that final run and tearDown() take place.
inline void expectAllocFailuresClean(const std::function<DT32S()> &setUp,
                                    const std::function<void(DT32S)> &check,
                                    const std::function<void()> &tearDown) {
  if (!allochook::available()) {
    EXPECT_EQ(setUp(), 0);
    tearDown();
    return;
  }
  for (int k = 1; k < 64; ++k) {
    allochook::arm(k);
    const DT32S rc = setUp();
    const allochook::Counts c = allochook::disarm();
    if (c.calls < k) {  // nothing left to fail: the run succeeded
      EXPECT_EQ(rc, 0);
      tearDown();
      EXPECT_GE(c.calls, 1) << "setUp allocated nothing";
      EXPECT_EQ(allochook::live(), 0) << "teardown leaves blocks allocated";
      return;
    }
    EXPECT_EQ(rc, -3) << "allocation " << k << " failed";
    EXPECT_EQ(c.live, 0) << "leak after allocation " << k << " failed";
    check(rc);
  }
  ADD_FAILURE() << "setUp kept allocating";
}

// Each copy operation op(f, values, start, count, reverse) of a vector of len
// elements, at the extremes of start and count where a sum like start + count
// would overflow an int: -2 outside the rules, else min(len - start, count).
// Set operations write values' zeros into the vector.
template <class R, class Op>
void expectCopyExtremes(R *f, DT32S len, std::initializer_list<Op> ops) {
  const DT32S edges[] = {INT_MIN, INT_MIN + 1, -1,          0,      1,
                         len - 1, len,         INT_MAX - 1, INT_MAX};
  Vec values(static_cast<size_t>(len));
  for (Op op : ops)
    for (DT32S start : edges)
      for (DT32S count : edges) {
        const DT32S want = count < 1 || start < 0 || start >= len ? -2
                           : count < len - start                  ? count
                                                                  : len - start;
        EXPECT_EQ(op(f, values.data(), start, count, start & 1), want)
            << "start " << start << ", count " << count;
      }
}

#endif
