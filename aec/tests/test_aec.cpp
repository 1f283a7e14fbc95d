// SPDX-License-Identifier: MIT
// libquolmaec: lifecycle and memory, argument checks, and behaviour on a
// synthetic echo path (convergence at two signal scales, robustness to
// silence, tones, clipping and non-finite samples).
#include <gtest/gtest.h>
#include <math.h>

#include <vector>

#include "allochook.h"
#include "quolmaec.h"

namespace {

constexpr DT32S kRate = 16000, kFrame = 64, kTail = 512;

struct Rng {  // xorshift64*, fixed seeds
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 2654435761u + 1) {}
  double sym() {
    s ^= s >> 12, s ^= s << 25, s ^= s >> 27;
    return double((s * 2685821657736338717ull) >> 11) / 4503599627370496.0 - 1;
  }
};

// Far end (coloured noise) and its echo through a decaying 300-tap path.
struct Echo {
  std::vector<float> far, echo;
  Echo(size_t n, double scale, uint64_t seed) : far(n), echo(n) {
    Rng r(seed);
    std::vector<double> h(300);
    for (size_t k = 0; k < h.size(); ++k) h[k] = 0.5 * r.sym() * exp(-double(k) / 60);
    double lp = 0;
    for (size_t i = 0; i < n; ++i) far[i] = float(scale * (lp = 0.7 * lp + 0.5 * r.sym()));
    for (size_t i = 0; i < n; ++i) {
      double acc = 0;
      for (size_t k = 0; k < h.size() && k <= i; ++k) acc += h[k] * far[i - k];
      echo[i] = float(acc);
    }
  }
};

struct Aec {
  quolmAec *a = nullptr;
  Aec() { EXPECT_EQ(quolmAecCreate(&a, kRate, kFrame, kTail), 0); }
  ~Aec() { quolmAecDestroy(a); }
  std::vector<double> leak;  // the leakage estimate after each frame
  // Runs far/mic through into out (mic's size).
  void run(const std::vector<float> &far, const std::vector<float> &mic,
           std::vector<float> *out) {
    quolmAecStatus st;
    for (size_t i = 0; i + kFrame <= mic.size(); i += kFrame) {
      EXPECT_EQ(quolmAecProcess(a, &far[i], &mic[i], &(*out)[i]), 0);
      EXPECT_EQ(quolmAecGetStatus(a, &st), 0);
      if (leak.size() < leak.capacity()) leak.push_back(st.leak);
    }
  }
  std::vector<float> run(const std::vector<float> &far, const std::vector<float> &mic) {
    std::vector<float> out(mic.size());
    run(far, mic, &out);
    return out;
  }
};

double energy(const std::vector<float> &v, size_t from, size_t to) {
  double s = 0;
  for (size_t i = from; i < to; ++i) s += double(v[i]) * v[i];
  return s;
}

}  // namespace

extern "C" int cSmokeAec(void);

TEST(Aec, HeaderWorksFromC) { EXPECT_EQ(cSmokeAec(), 0); }

TEST(Aec, NoAllocationPerFrameAndNoLeakWhenAnAllocationFails) {
  for (int k = 1; allochook::available() && k < 32; ++k) {
    quolmAec *a = reinterpret_cast<quolmAec *>(&k);
    allochook::arm(k);
    const DT32S rc = quolmAecCreate(&a, kRate, kFrame, kTail);
    const allochook::Counts c = allochook::disarm();
    if (c.calls < k) {  // nothing left to fail
      ASSERT_EQ(rc, 0);
      quolmAecDestroy(a);
      break;
    }
    EXPECT_EQ(rc, -3);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(allochook::live(), 0) << "allocation " << k << " failing leaks";
  }
  Aec aec;
  const Echo e(kFrame * 50, 1.0, 1);
  std::vector<float> out(e.echo.size());
  allochook::arm();
  aec.run(e.far, e.echo, &out);
  quolmAecReset(aec.a);
  aec.run(e.far, e.echo, &out);
  EXPECT_EQ(allochook::disarm().calls, 0);
}

TEST(Aec, RejectsBadArguments) {
  quolmAec *a = nullptr;
  struct { DT32S rate, frame, tail, rc; } cases[] = {
      {kRate, 0, kTail, -2},      {kRate, -5, kTail, -2},
      {kRate, 16385, kTail, -2},  {kRate, kFrame, 0, -2},
      {kRate, kFrame, QUOLM_AEC_MAX_TAIL + 1, -2},
      {0, kFrame, kTail, -2},     {999, kFrame, kTail, -2}};
  for (const auto &c : cases) {
    EXPECT_EQ(quolmAecCreate(&a, c.rate, c.frame, c.tail), c.rc)
        << c.rate << " Hz, frame " << c.frame << ", tail " << c.tail;
    EXPECT_EQ(a, nullptr);
  }
  EXPECT_EQ(quolmAecCreate(nullptr, kRate, kFrame, kTail), -1);
  EXPECT_EQ(quolmAecTailTaps(16000, 128), 2048);
  EXPECT_EQ(quolmAecTailTaps(16000, -1), -2);
  EXPECT_EQ(quolmAecTailTaps(16000, NAN), -2);
  EXPECT_EQ(quolmAecTailTaps(384000, 1e9f), -2);

  Aec aec;
  std::vector<float> x(kFrame, 0.1f), out(kFrame);
  EXPECT_EQ(quolmAecProcess(nullptr, x.data(), x.data(), out.data()), -1);
  EXPECT_EQ(quolmAecProcess(aec.a, nullptr, x.data(), out.data()), -1);
  EXPECT_EQ(quolmAecProcess(aec.a, x.data(), nullptr, out.data()), -1);
  EXPECT_EQ(quolmAecProcess(aec.a, x.data(), x.data(), nullptr), -1);
  EXPECT_EQ(quolmAecGetStatus(aec.a, nullptr), -1);
  EXPECT_EQ(quolmAecReset(nullptr), -1);
  EXPECT_EQ(quolmAecFrameSize(aec.a), kFrame);
  EXPECT_EQ(quolmAecTailLength(aec.a), 512);  // 8 partitions of 64 taps
  quolmAecDestroy(nullptr);
}

// Non-finite input counts as 0: the count comes back, the output and the
// state stay finite (the canceller still converges afterwards), as after
// samples so large that the transforms overflow.
TEST(Aec, NonFiniteSamplesAreZeroedAndReported) {
  Aec aec;
  const Echo e(kRate * 3, 1.0, 2);
  std::vector<float> far = e.far, mic = e.echo, out(kFrame);
  far[5] = NAN, mic[7] = INFINITY, mic[8] = -INFINITY;
  EXPECT_EQ(quolmAecProcess(aec.a, far.data(), mic.data(), out.data()), 3);
  for (float v : out) EXPECT_TRUE(isfinite(v));
  far[5] = mic[7] = mic[8] = 0;
  // Finite samples near the float limit overflow the transforms: the output
  // is still finite.
  std::vector<float> huge(kFrame, 3e38f), hugeOut(kFrame);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(quolmAecProcess(aec.a, huge.data(), huge.data(), hugeOut.data()), 0);
    for (float v : hugeOut) ASSERT_TRUE(isfinite(v));
  }
  out = aec.run(far, mic);
  const size_t n = mic.size();
  EXPECT_GT(10 * log10(energy(mic, n / 2, n) / energy(out, n / 2, n)), 20);
}

// The same run at unit scale and at 16-bit scale reaches the same ERLE
// through the same estimates.
TEST(Aec, SingleTalkConvergesAlikeAtAnyScale) {
  double erle[2];
  std::vector<double> leak[2];
  const double scales[2] = {1.0 / 32768, 1.0};
  for (int s = 0; s < 2; ++s) {
    const Echo e(kRate * 3, scales[s] * 10000, 3);
    Rng r(9);
    std::vector<float> noise(e.echo.size()), mic(e.echo.size());
    for (size_t i = 0; i < mic.size(); ++i) {
      noise[i] = float(scales[s] * 3 * r.sym());  // about -50 dB
      mic[i] = e.echo[i] + noise[i];
    }
    Aec aec;
    aec.leak.reserve(mic.size() / kFrame);
    std::vector<float> out = aec.run(e.far, mic);
    leak[s] = aec.leak;
    for (size_t i = 0; i < out.size(); ++i) out[i] -= noise[i];  // residual
    const size_t n = mic.size();
    erle[s] = 10 * log10(energy(e.echo, n - kRate / 2, n) / energy(out, n - kRate / 2, n));
    quolmAecStatus st;
    ASSERT_EQ(quolmAecGetStatus(aec.a, &st), 0);
    EXPECT_EQ(st.adapted, 1);
    EXPECT_GT(st.erle, 20);
  }
  EXPECT_GT(erle[0], 30);
  EXPECT_NEAR(erle[0], erle[1], 1.0);
  ASSERT_EQ(leak[0].size(), leak[1].size());
  for (size_t k = 0; k < leak[0].size(); ++k)
    ASSERT_NEAR(leak[0][k], leak[1][k], 0.05 * leak[1][k]) << "frame " << k;
}

TEST(Aec, EstimatesTheBulkDelay) {
  Aec aec;
  EXPECT_EQ(quolmAecEchoDelay(aec.a), 0);
  EXPECT_EQ(quolmAecEchoDelay(nullptr), -1);
  const Echo e(kRate, 1.0, 6);
  std::vector<float> mic(e.echo.size(), 0.0f);
  for (size_t i = 150; i < mic.size(); ++i)  // 150 samples late, 3 dB down
    mic[i] = 0.7f * e.far[i - 150] + 0.2f * e.echo[i - 150];
  aec.run(e.far, mic);
  EXPECT_EQ(quolmAecEchoDelay(aec.a), 150);
}

// Near-end noise while the far end is silent is passed through untouched.
// After a tone, whose echo path says nothing about other frequencies, the
// output stays below the divergence bound (6 dB over the microphone) and
// the canceller converges on broadband input; a clipped microphone does not
// make it diverge.
TEST(Aec, NoDivergenceOnSilenceTonesOrClipping) {
  const size_t n = kRate * 2;
  Rng r(4);
  std::vector<float> silent(n, 0.0f), noise(n), tone(n), clippedMic(n);
  for (size_t i = 0; i < n; ++i) {
    noise[i] = float(0.01 * r.sym());
    tone[i] = float(0.5 * sin(0.3 * double(i)));
  }
  Aec quiet;
  EXPECT_EQ(quiet.run(silent, noise), noise);

  Aec tonal;
  const Echo e(n, 1.0, 5);
  std::vector<float> mic(n);
  for (size_t i = 0; i < n; ++i) mic[i] = 0.8f * tone[n - 1 - i] + noise[i];
  std::vector<float> out = tonal.run(tone, mic);
  out = tonal.run(e.far, e.echo);  // broadband input after the tone
  for (size_t i = 0; i + kFrame <= n; i += kFrame)
    ASSERT_LE(energy(out, i, i + kFrame), 4 * energy(e.echo, i, i + kFrame))
        << "frame at " << i;
  EXPECT_GT(10 * log10(energy(e.echo, n / 2, n) / energy(out, n / 2, n)), 20);

  Aec clipping;  // the loudest peaks of the echo clipped
  const float limit = float(2.5 * sqrt(energy(e.echo, 0, n) / n));
  for (size_t i = 0; i < n; ++i)
    clippedMic[i] = std::fmax(-limit, std::fmin(limit, e.echo[i]));
  out = clipping.run(e.far, clippedMic);
  for (float v : out) ASSERT_TRUE(isfinite(v));
  EXPECT_LT(energy(out, n / 2, n), 0.1 * energy(clippedMic, n / 2, n));
}
