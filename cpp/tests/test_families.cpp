// SPDX-License-Identifier: MIT
// Every family in both precisions, allocated and in caller memory. The
// caller buffers are exactly the sizes the C headers give (N = 6, blocks of
// 4, 2 partitions, a 3-tap path and a 2-tap model), so that a size rule
// smaller than the library's use shows up as an overrun under ASan; one
// value less must be refused.
#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "quolm/quolm.hpp"

namespace {

template <class F, class = void>
constexpr bool isBlock = false;
template <class F>
constexpr bool isBlock<F, std::void_t<decltype(&F::blockLength)>> = true;
template <class F, class = void>
constexpr bool isPredictor = false;
template <class F>
constexpr bool isPredictor<
    F, std::void_t<decltype(std::declval<F &>().filterUpdate(typename F::Sample()))>> = true;
template <class F, class = void>
constexpr bool hasClone = false;
template <class F>
constexpr bool hasClone<F, std::void_t<decltype(&F::clone)>> = true;

// Runs 24 samples (6 blocks) through whichever call shape F has.
template <class F>
void process(F &f) {
  using T = typename F::Sample;
  std::vector<T> x(24), d(24), y(24), e(24);
  for (std::size_t n = 0; n < x.size(); ++n) {
    x[n] = T(n % 5) - T(2);
    d[n] = T(0.5) * x[n];
  }
  if constexpr (std::is_same_v<F, quolm::Fir<T>>) f.filter(x, y);
  else if constexpr (isBlock<F> || !isPredictor<F>) f.filterUpdate(x, d, y, e);
  else f.filterUpdate(x, y, e);
  for (T v : y) EXPECT_TRUE(v == v) << "NaN output";
}

struct Needs {
  std::size_t coefs, state;  // coefs 0: the family takes no coefficient buffer
};

// makeOwned() allocates; makeIn(coefBuf, stateBuf) uses caller memory.
template <class MakeOwned, class MakeIn>
void checkFamily(Needs need, MakeOwned makeOwned, MakeIn makeIn) {
  auto owned = makeOwned();
  ASSERT_TRUE(owned);
  process(owned);
  using F = decltype(owned);
  if constexpr (hasClone<F>) {
    F copy = owned.clone();
    process(copy);
  }
  using T = typename F::Sample;
  std::vector<T> coefs(need.coefs), state(need.state);
  auto inPlace = makeIn(quolm::Span<T>(coefs), quolm::Span<T>(state));
  process(inPlace);
  std::vector<Needs> fewer = {{need.coefs, need.state - 1}};
  if (need.coefs > 0) fewer.push_back({need.coefs - 1, need.state});
  for (Needs less : fewer) {
    std::vector<T> c(less.coefs), s(less.state);
    EXPECT_THROW(makeIn(quolm::Span<T>(c), quolm::Span<T>(s)), quolm::Error)
        << less.coefs << " coefficient and " << less.state << " state values";
  }
}

template <class T>
class CppFamilies : public ::testing::Test {};
using Samples = ::testing::Types<float, double>;
TYPED_TEST_SUITE(CppFamilies, Samples);

TYPED_TEST(CppFamilies, EveryFamilyRunsAllocatedAndInCallerMemory) {
  using T = TypeParam;
  using quolm::callerMemory;
  using S = quolm::Span<T>;
  std::vector<T> h = {T(1), T(0.5), T(0.25), T(0), T(0), T(0)}, path = {T(0.5), T(0.25), T(0.1)},
                 model = {T(0.5), T(0.25)};
  const T mu = T(0.01), lambda = T(0.99);
  quolm::FftTables<T> tables(16);
  checkFamily({0, 6}, [&] { return quolm::Fir<T>(h); },
              [&](S, S s) { return quolm::Fir<T>(callerMemory, h, s); });
  checkFamily({6, 6}, [&] { return quolm::Lms<T>(6, mu); },
              [&](S c, S s) { return quolm::Lms<T>(callerMemory, 6, mu, c, s); });
  checkFamily({6, 6}, [&] { return quolm::Nlms<T>(6, mu); },
              [&](S c, S s) { return quolm::Nlms<T>(callerMemory, 6, mu, c, s); });
  checkFamily({6, 6}, [&] { return quolm::Blms<T>(6, 4, mu); },
              [&](S c, S s) { return quolm::Blms<T>(callerMemory, 6, 4, mu, c, s); });
  checkFamily({6, 6}, [&] { return quolm::Bnlms<T>(6, 4, mu); },
              [&](S c, S s) { return quolm::Bnlms<T>(callerMemory, 6, 4, mu, c, s); });
  checkFamily({6, 3 + 6 + 6}, [&] { return quolm::Fxlms<T>(6, mu, path, model); },
              [&](S c, S s) { return quolm::Fxlms<T>(callerMemory, 6, mu, path, model, c, s); });
  checkFamily({6, 6 + 4 + 3 - 1}, [&] { return quolm::Adjlms<T>(6, mu, path, model); },
              [&](S c, S s) { return quolm::Adjlms<T>(callerMemory, 6, mu, path, model, c, s); });
  checkFamily({16, 12 + 32 + 18}, [&] { return quolm::Bfdaf<T>(6, 4, mu); },  // M = 16
              [&](S c, S s) { return quolm::Bfdaf<T>(callerMemory, 6, 4, mu, true, c, s, tables); });
  checkFamily({32, 12 + 64 + 9}, [&] { return quolm::Pbfdaf<T>(6, 4, 2, mu); },
              [&](S c, S s) {
                return quolm::Pbfdaf<T>(callerMemory, 6, 4, 2, mu, true, c, s, tables);
              });
  checkFamily({8, 16 + 10}, [&] { return quolm::Tdlms<T>(6, mu); },  // M = 8
              [&](S c, S s) { return quolm::Tdlms<T>(callerMemory, 6, mu, c, s, tables); });
  checkFamily({12, 18}, [&] { return quolm::Lmslattice<T>(6, mu, mu); },
              [&](S c, S s) { return quolm::Lmslattice<T>(callerMemory, 6, mu, mu, c, s); });
  checkFamily({12, 28}, [&] { return quolm::Lbpef<T>(6, mu); },
              [&](S c, S s) { return quolm::Lbpef<T>(callerMemory, 6, mu, c, s); });
  checkFamily({12, 21}, [&] { return quolm::Lfpef<T>(6, mu); },
              [&](S c, S s) { return quolm::Lfpef<T>(callerMemory, 6, mu, c, s); });
  checkFamily({6, 21 + 12}, [&] { return quolm::Rls<T>(6, lambda, T(0.5)); },
              [&](S c, S s) { return quolm::Rls<T>(callerMemory, 6, lambda, T(0.5), c, s); });
  checkFamily({18, 36}, [&] { return quolm::Rlslattice<T>(6, lambda); },
              [&](S c, S s) { return quolm::Rlslattice<T>(callerMemory, 6, lambda, c, s); });
  checkFamily({18, 37}, [&] { return quolm::Rlslbpef<T>(6, lambda); },
              [&](S c, S s) { return quolm::Rlslbpef<T>(callerMemory, 6, lambda, c, s); });
  checkFamily({18, 30}, [&] { return quolm::Rlslfpef<T>(6, lambda); },
              [&](S c, S s) { return quolm::Rlslfpef<T>(callerMemory, 6, lambda, c, s); });
}

}  // namespace
