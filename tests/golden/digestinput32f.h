// SPDX-License-Identifier: MIT
// What the golden digest runs on and how it hashes: the generated signal, the
// FFT tables, FNV-1a over bytes, and the per-sample and per-block drivers.
#ifndef QUOLM_DIGESTINPUT32F_H
#define QUOLM_DIGESTINPUT32F_H

#include <stdint.h>

#include <vector>

#include "quolm32f.h"
#include "quolmffttables32f.h"

namespace digest32f {

typedef std::vector<DT32F> Vec;

constexpr DT32S kLen = 3072;  // samples per family
constexpr DT32S kN = 16;      // taps (order of the predictors)
constexpr DT32S kB = 16;      // block length
// The frequency-domain families use FFT sizes 64 (32 pairs: a radix-2 last
// stage) and 128 (64 pairs: radix-4 throughout); the tables serve both.
constexpr DT32S kM = 128;

// Also notes any non-finite output or non-zero code, which would make the
// digest worthless as a yardstick.
struct Hash {
  uint64_t h = 14695981039346656037ull;
  bool sound = true;
  void bytes(const void *p, size_t n) {
    const unsigned char *c = static_cast<const unsigned char *>(p);
    for (size_t i = 0; i < n; ++i) h = (h ^ c[i]) * 1099511628211ull;
  }
  void value(DT32F v) {
    sound = sound && v - v == DT32F(0);
    bytes(&v, sizeof v);
  }
  void code(DT32S v) {
    sound = sound && v == 0;
    bytes(&v, sizeof v);
  }
  void values(const Vec &v) {
    for (DT32F x : v) value(x);
  }
};

// A coloured input (uniform noise through a resonant AR(2) section, under an
// envelope that swells and fades but never reaches silence) and the desired
// signal: the input through a fixed 8-tap system plus a little noise.
struct Signal {
  Vec x, d;
  Signal() : x(kLen), d(kLen) {
    static const double h[8] = {0.5, -0.25, 0.375, 0.125, -0.0625, 0.03125,
                                -0.5, 0.25};
    uint32_t s = 12345u;
    auto uniform = [&s] {  // exact in both precisions: 24-bit steps
      s = s * 1664525u + 1013904223u;
      return double(s >> 8) / 16777216.0 - 0.5;
    };
    double a1 = 0.0, a2 = 0.0;
    for (DT32S n = 0; n < kLen; ++n) {
      const double ar = uniform() + 1.5 * a1 - 0.75 * a2;
      a2 = a1, a1 = ar;
      const double envelope = 0.125 + double(n % 700) / 700.0;
      x[n] = DT32F(ar * envelope);
      double acc = 0.01 * uniform();
      for (DT32S k = 0; k < 8 && k <= n; ++k) acc += h[k] * double(x[n - k]);
      d[n] = DT32F(acc);
    }
  }
};

inline const Signal &sig() {
  static const Signal s;
  return s;
}

struct Tables {
  std::vector<DT32S> work = std::vector<DT32S>(2 + quolmFftWorkLen32f(kM));
  Vec table = Vec(kM / 2);
  Tables() { quolmFftTables32f(kM, work.data(), table.data()); }
};

inline Tables &tables() {
  static Tables t;
  return t;
}

// The secondary path of the active-control families and its model.
inline DT32F kSecPath[4] = {DT32F(0.75), DT32F(0.25), DT32F(-0.125), DT32F(0.0625)};
inline DT32F kSecModel[4] = {DT32F(0.7), DT32F(0.3), DT32F(-0.1), DT32F(0.05)};

// Per-sample families: `update` runs on the first three quarters of the
// signal, `only` on the rest; the y each returns is hashed (the updates hash
// the record's error themselves).
template <class Update, class Only>
void perSample(Hash &h, Update update, Only only) {
  const Signal &s = sig();
  for (DT32S n = 0; n < kLen; ++n)
    h.value(n < kLen * 3 / 4 ? update(s.x[n], s.d[n]) : only(s.x[n]));
}

// Block families: blocks of kB samples through `update(x, d, y, e)`, the last
// quarter through `only(x, y)`; codes, y and e hashed.
template <class Update, class Only>
void perBlock(Hash &h, Update update, Only only) {
  const Signal &s = sig();
  Vec y(kB), e(kB);
  for (DT32S n = 0; n + kB <= kLen; n += kB) {
    DT32F *x = const_cast<DT32F *>(&s.x[n]), *d = const_cast<DT32F *>(&s.d[n]);
    h.code(n < kLen * 3 / 4 ? update(x, d, y.data(), e.data())
                            : only(x, y.data()));
    h.values(y), h.values(e);
  }
}

// The caller-owned blocks of an InitStatic record, hashed after the run.
struct Blocks {
  Vec coef, state;
  Blocks(size_t c, size_t s) : coef(c), state(s) {}
  void hash(Hash &h) const { h.values(coef), h.values(state); }
};

}  // namespace digest32f

#endif
