// SPDX-License-Identifier: MIT
// The layer built without exceptions (a program of its own: its inline
// functions differ from those of an exception build). Failures come back as
// codes, and a failed construction leaves an empty filter.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "quolm/quolm.hpp"

static_assert(!QUOLM_CPP_EXCEPTIONS, "compile this test with -fno-exceptions");

TEST(CppLayerWithoutExceptions, CallsReturnTheLibraryCodes) {
  std::optional<quolm::Nlms<float>> nlms;
  EXPECT_EQ(quolm::make(nlms, 0, 0.1f), -2);
  EXPECT_FALSE(nlms.has_value());
  ASSERT_EQ(quolm::make(nlms, 8, 0.1f), 0);
  std::vector<float> x(8, 0.5f), y(7);
  EXPECT_EQ(nlms->filterOnly(x, y), -2);
  EXPECT_EQ(nlms->resize(0), -2);
  EXPECT_EQ(nlms->size(), 8u);

  std::optional<quolm::Pbfdaf<double>> pbfdaf;
  EXPECT_EQ(quolm::make(pbfdaf, 4, 4, 2, 0.05, true), 0);
  EXPECT_EQ(pbfdaf->partitions(), 2u);

  quolm::Rls<double> rls(4, 0.99, 5.0);  // delta outside (0, 1]
  EXPECT_FALSE(rls);
  EXPECT_EQ(rls.status(), -2);
  rls = quolm::Rls<double>(4, 0.99, 0.5);
  EXPECT_TRUE(rls);
  EXPECT_EQ(rls.status(), 0);
}
