// SPDX-License-Identifier: MIT
// Exported vector helpers.
#include "testutil32f.h"

TEST(Vector, ResetAndSetFillOrRefuse) {
  Vec v = {1, 2, 3};
  EXPECT_EQ(reset32f(nullptr, 0), -1);
  EXPECT_EQ(set32f(DT32F(5), nullptr, 0), -1);
  EXPECT_EQ(reset32f(v.data(), 0), 0);
  EXPECT_EQ(set32f(DT32F(7), v.data(), -1), 0);
  EXPECT_EQ(v, (Vec{1, 2, 3}));
  EXPECT_EQ(set32f(DT32F(7), v.data(), 2), 0);
  EXPECT_EQ(v, (Vec{7, 7, 3}));
  EXPECT_EQ(reset32f(v.data(), 3), 0);
  EXPECT_EQ(v, (Vec{0, 0, 0}));
}

TEST(Vector, InsertSampleShiftsTowardTheEnd) {
  Vec v = {1, 2, 3};
  EXPECT_EQ(insertSampleLinBuf32f(DT32F(9), v.data(), 3), 0);
  EXPECT_EQ(v, (Vec{9, 1, 2}));
  EXPECT_EQ(insertSampleLinBuf32f(DT32F(4), v.data(), 1), 0);
  EXPECT_EQ(v, (Vec{4, 1, 2}));
  EXPECT_EQ(insertSampleLinBuf32f(DT32F(5), v.data(), 0), 0);
  EXPECT_EQ(v, (Vec{4, 1, 2}));  // an empty buffer is never written
  EXPECT_EQ(insertSampleLinBuf32f(DT32F(5), nullptr, 3), -1);
}

TEST(Vector, NextPow2) {
  const DT64S in[] = {0, 1, 2, 3, 4, 5, 11, 16, 17, DT64S(1) << 30};
  const DT32S out[] = {0, 0, 1, 2, 2, 3, 4, 4, 5, 30};
  for (size_t i = 0; i < sizeof in / sizeof in[0]; ++i)
    EXPECT_EQ(nextPow2(in[i]), out[i]) << "n = " << in[i];
  EXPECT_EQ(nextPow2(-1), -2);
  EXPECT_EQ(nextPow2((DT64S(1) << 30) + 1), -2);  // beyond the domain
  EXPECT_EQ(nextPow2(INT64_MAX), -2);
}

#ifdef QUOLM_BUILD_DT64F
TEST(Vector, AddInPlace) {
  Vec x = {1, 2, 3}, y = {10, 20, 30};
  EXPECT_EQ(addIp64f(x.data(), y.data(), 0), 0);
  EXPECT_EQ(y, (Vec{10, 20, 30}));
  EXPECT_EQ(addIp64f(x.data(), y.data(), 3), 0);
  EXPECT_EQ(y, (Vec{11, 22, 33}));
  EXPECT_EQ(addIp64f(y.data(), y.data(), 3), 0);  // x = y doubles
  EXPECT_EQ(y, (Vec{22, 44, 66}));
  EXPECT_EQ(addIp64f(nullptr, y.data(), 3), -1);
  EXPECT_EQ(addIp64f(x.data(), nullptr, 3), -1);
}
#endif
