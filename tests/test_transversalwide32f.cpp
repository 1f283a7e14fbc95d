// SPDX-License-Identifier: MIT
// The wide transversal kernels against the scalar loops, bit for bit, on the
// form this machine dispatches to: lengths around the group width (eight, or
// four in the double build) and every ring slot, so the tails of both runs
// and the wrap fall everywhere. The kernels are internal to the library, so
// their source is compiled in here.
#include <string.h>

#include "../src32f/transversalwide32f.cpp"
#include "testutil32f.h"

using namespace quolm32f;

namespace {

const DT32S kLengths[] = {1,  2,  3,  4,  5,  7,  8,  9,  13,
                           15, 16, 17, 23, 25, 31, 37, 64};

bool sameBits(const Vec &a, const Vec &b) {
  return a.size() == b.size() &&
         memcmp(a.data(), b.data(), a.size() * sizeof(DT32F)) == 0;
}

// Random values with signed zeros among them (the sign law and the sums
// tell -0 from +0).
Vec values(Rng &rng, DT32S n) {
  Vec v = rng.vec(size_t(n));
  for (size_t i = 0; i < v.size(); i += 5)
    v[i] = i % 2 ? DT32F(-0.0) : DT32F(0);
  return v;
}

template <Regressor R>
Vec plainUpdate(Vec w, const Vec &ring, DT32S p, DT32F g) {
  const size_t L = ring.size();
  for (size_t k = 0; k < w.size(); ++k)
    addScaled<R>(&w[k], &ring[(size_t(p) + k) % L], g, 1);
  return w;
}

TEST(TransversalWide, MatchesTheScalarLoopsAtEverySlot) {
  Rng rng(5);
  for (DT32S n : kLengths)
    for (DT32S L : {n, n + 3})
      for (DT32S p = 0; p < L; ++p) {
        const Vec coefs = values(rng, n);
        Vec ring = values(rng, L), plainRing = ring;
        const DT32F x = DT32F(rng.sym());
        plainRing[size_t(p)] = x;
        const Acc plain = dotCircBuf(plainRing.data(), L, p, coefs.data(), n);
        const Acc wide = dotInsertWide(x, ring.data(), L, p, coefs.data(), n);
        const std::string at = "n = " + std::to_string(n) +
                               ", L = " + std::to_string(L) +
                               ", p = " + std::to_string(p);
        EXPECT_EQ(memcmp(&plain, &wide, sizeof plain), 0) << at;
        EXPECT_TRUE(sameBits(ring, plainRing)) << at;
        for (DT32F g : {DT32F(rng.sym()), DT32F(-0.0)}) {
          Vec w = coefs, s = coefs;
          addScaledCircWide(w.data(), ring.data(), L, p, g, n);
          addSignScaledCircWide(s.data(), ring.data(), L, p, g, n);
          const Vec plainW = plainUpdate<Regressor::Value>(coefs, ring, p, g);
          const Vec plainS = plainUpdate<Regressor::Sign>(coefs, ring, p, g);
          EXPECT_TRUE(sameBits(w, plainW)) << at << ", g = " << g;
          EXPECT_TRUE(sameBits(s, plainS)) << at << ", g = " << g;
        }
      }
}

// One adaptation step of each law in one call against the plain step: the
// lengths also straddle the end of the operands the dot product keeps.
template <Regressor R, class Rule>
void expectPlainStep(Rng &rng, DT32S n, DT32S L, DT32S p, Rule rule,
                     const std::string &at) {
  const Vec coefs = values(rng, n);
  Vec ring = values(rng, L), w = coefs, plainRing = ring;
  const DT32F x = DT32F(rng.sym());
  plainRing[size_t(p)] = x;
  const Acc plain = dotCircBuf(plainRing.data(), L, p, coefs.data(), n);
  const Acc y = adaptWide<R>(x, ring.data(), L, p, w.data(), n, rule);
  EXPECT_EQ(memcmp(&plain, &y, sizeof y), 0) << at;
  EXPECT_TRUE(sameBits(ring, plainRing)) << at;
  EXPECT_TRUE(sameBits(w, plainUpdate<R>(coefs, ring, p, rule(plain)))) << at;
}

TEST(TransversalWide, OneCallStepMatchesThePlainStep) {
  Rng rng(9);
  for (DT32S n : {1, 8, 9, 23, 37, 64, 1023, 1024, 1031})
    for (DT32S L : {n, n + 5})
      for (DT32S p = 0; p < L; ++p) {
        const std::string at = "n = " + std::to_string(n) +
                               ", L = " + std::to_string(L) +
                               ", p = " + std::to_string(p);
        const DT32F mu = DT32F(0.01), d = DT32F(rng.sym());
        using V = LmsRule<ErrorLaw::Value>;
        using S = LmsRule<ErrorLaw::Sign>;
        expectPlainStep<Regressor::Value>(rng, n, L, p, V{mu, d}, at);
        expectPlainStep<Regressor::Value>(rng, n, L, p, S{mu, d}, at);
        expectPlainStep<Regressor::Sign>(rng, n, L, p, V{mu, d}, at);
        expectPlainStep<Regressor::Sign>(rng, n, L, p, S{mu, d}, at);
        expectPlainStep<Regressor::Value>(rng, n, L, p, NlmsRule{mu, d, 1.5},
                                          at);
      }
}

}  // namespace
