// SPDX-License-Identifier: MIT
#include "scenario.h"

#include <sndfile.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

Signal loadWav(const std::string &dir, const char *name, int rate) {
  const std::string path = dir + "/" + name;
  SF_INFO info{};
  SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f || info.channels != 1 || info.samplerate != rate) {
    fprintf(stderr, "aec-eval: %s: missing, not mono or not %d Hz\n",
            path.c_str(), rate);
    exit(1);
  }
  Signal s(size_t(info.frames));
  sf_readf_float(f, s.data(), info.frames);
  sf_close(f);
  return s;
}

namespace {

Signal head(const Signal &s, size_t n) {
  return Signal(s.begin(), s.begin() + long(std::min(n, s.size())));
}

// a up to `at`, b from `at` on, with a 10 ms crossfade (a moving talker or
// loudspeaker, not a click).
Signal splice(const Signal &a, const Signal &b, size_t at, int rate) {
  Signal s(a.size());
  const size_t fade = size_t(rate / 100);
  for (size_t i = 0; i < s.size(); ++i) {
    const double w = i < at ? 0 : i >= at + fade ? 1 : double(i - at) / fade;
    s[i] = float((1 - w) * a[i] + w * b[i]);
  }
  return s;
}

// The far end through a room: direct convolution with its response.
Signal convolve(const Signal &x, const Signal &h) {
  Signal y(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    double acc = 0;
    const size_t taps = std::min(h.size(), n + 1);
    for (size_t k = 0; k < taps; ++k) acc += double(h[k]) * x[n - k];
    y[n] = float(acc);
  }
  return y;
}

}  // namespace

std::vector<Scenario> makeScenarios(const std::string &dir, int rate) {
  const Signal far = loadWav(dir, "far.wav", rate);
  const Signal echoA = convolve(far, loadWav(dir, "irA.wav", rate));
  const Signal echoB = convolve(far, loadWav(dir, "irB.wav", rate));
  const Signal talker = loadWav(dir, "near.wav", rate);
  const Signal noise = loadWav(dir, "noise.wav", rate);
  const size_t sec = size_t(rate);
  std::vector<Scenario> v;
  auto add = [&](const char *name, size_t n, const Signal &echo) {
    Scenario s;
    s.name = name;
    s.far = head(far, n);
    s.echo = head(echo, n);
    s.noise = head(noise, n);
    s.near.assign(n, 0.0f);
    v.push_back(s);
    return &v.back();
  };
  add("single", 12 * sec, echoA);
  Scenario *c = add("change", 16 * sec, splice(echoA, echoB, 8 * sec, rate));
  c->markStart = 8;
  Scenario *d = add("double", 20 * sec, echoA);
  for (size_t i = 0; i < talker.size() && 8 * sec + i < d->near.size(); ++i)
    d->near[8 * sec + i] = talker[i];
  d->markStart = 8;
  d->markEnd = 14;
  return v;
}
