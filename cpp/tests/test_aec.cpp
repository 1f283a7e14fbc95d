// SPDX-License-Identifier: MIT
// quolm::EchoCanceller: it cancels an echo through the C canceller, checks
// frame sizes before touching a sample, reports failures with the library's
// codes, keeps ownership across moves and never allocates per frame.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "allochook.h"
#include "quolm/aec.hpp"

namespace {

constexpr int kRate = 16000, kFrame = 64, kTail = 256;

// Coloured noise as the far end, its echo through a decaying 200-tap path.
void farAndEcho(std::size_t n, std::vector<float> &far, std::vector<float> &echo) {
  unsigned seed = 5;
  auto sym = [&] { return double((seed = seed * 1664525u + 1013904223u) >> 8) / 8388608.0 - 1; };
  std::vector<double> h(200);
  for (std::size_t k = 0; k < h.size(); ++k) h[k] = 0.4 * sym() * std::exp(-double(k) / 40);
  far.assign(n, 0);
  echo.assign(n, 0);
  double lp = 0;
  for (float &s : far) s = float(8000 * (lp = 0.6 * lp + 0.5 * sym()));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t k = 0; k < h.size() && k <= i; ++k) echo[i] += float(h[k] * far[i - k]);
}

double energy(const std::vector<float> &v, std::size_t from) {
  double e = 0;
  for (std::size_t i = from; i < v.size(); ++i) e += double(v[i]) * v[i];
  return e;
}

TEST(CppAec, CancelsAnEchoWithoutAllocatingPerFrame) {
  std::vector<float> far, mic;
  farAndEcho(std::size_t(kRate) * 3, far, mic);
  quolm::EchoCanceller moved(kRate, kFrame, kTail);
  quolm::EchoCanceller aec = std::move(moved);
  EXPECT_FALSE(moved);
  ASSERT_TRUE(aec);
  EXPECT_EQ(aec.frameSize(), std::size_t(kFrame));
  EXPECT_EQ(aec.tailLength(), std::size_t(kTail));
  std::vector<float> out(mic.size()), f(kFrame), m(kFrame), o(kFrame);
  allochook::arm();
  for (std::size_t i = 0; i + kFrame <= mic.size(); i += kFrame) {
    f.assign(far.begin() + i, far.begin() + i + kFrame);
    m.assign(mic.begin() + i, mic.begin() + i + kFrame);
    EXPECT_EQ(aec.process(f, m, o), 0);
    std::copy(o.begin(), o.end(), out.begin() + i);
  }
  EXPECT_EQ(allochook::disarm().calls, 0);
  const std::size_t lastSecond = mic.size() - kRate;
  EXPECT_GT(10 * std::log10(energy(mic, lastSecond) / energy(out, lastSecond)), 20);
  EXPECT_GT(aec.figures().erle, 15);
  EXPECT_EQ(aec.figures().frames, DT64S(mic.size() / kFrame));
  EXPECT_EQ(aec.reset(), 0);
  EXPECT_EQ(aec.figures().frames, 0);
}

TEST(CppAec, FailuresCarryTheLibraryCodes) {
  try {
    quolm::EchoCanceller bad(kRate, 0, kTail);
    ADD_FAILURE() << "frame 0 accepted";
  } catch (const quolm::Error &e) {
    EXPECT_EQ(e.code(), -2);
    EXPECT_EQ(std::string(e.what()),
              "quolm::EchoCanceller(sampleRate = 16000, frameSize = 0, tailTaps = 256): "
              "size or parameter out of range (code -2)");
  }
  std::optional<quolm::EchoCanceller> made;
  EXPECT_EQ(quolm::make(made, kRate, kFrame, QUOLM_AEC_MAX_TAIL + 1), -2);
  EXPECT_FALSE(made);
  EXPECT_EQ(quolm::EchoCanceller::tailTaps(kRate, 16), kTail);

  quolm::EchoCanceller aec(kRate, kFrame, kTail);
  std::vector<float> in(kFrame, 1), shortIn(kFrame - 1, 1), out(kFrame, 7);
  auto rejected = [&](quolm::Span<const float> f, quolm::Span<const float> m,
                      quolm::Span<float> o) {
    try {
      aec.process(f, m, o);
    } catch (const quolm::Error &e) {
      return e.code() == -2;
    }
    return false;
  };
  EXPECT_TRUE(rejected(shortIn, in, out));
  EXPECT_TRUE(rejected(in, shortIn, out));
  EXPECT_TRUE(rejected(in, in, quolm::Span<float>(out.data(), kFrame - 1)));
  EXPECT_EQ(out, std::vector<float>(kFrame, 7)) << "written before the check";
  EXPECT_EQ(aec.figures().frames, 0);
  quolm::EchoCanceller gone = std::move(aec);
  EXPECT_THROW(aec.process(in, in, out), quolm::Error);
  EXPECT_EQ(aec.process(in.data(), in.data(), out.data()), -1);
}

}  // namespace
