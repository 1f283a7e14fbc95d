// SPDX-License-Identifier: MIT
// The fuzzing driver: turns input bytes into a sequence of calls on one
// record of one family and stops at the first call that answers outside its
// documented codes. The sanitizers catch reads and writes outside the
// buffers (every caller buffer is a vector of exactly the documented size)
// and leaks (an Init-made record is freed when the input ends).
#ifndef QUOLM_FUZZ_DRIVER32F_H
#define QUOLM_FUZZ_DRIVER32F_H

#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <functional>
#include <limits>
#include <vector>

#include "quolm32f.h"
#include "quolmffttables32f.h"

namespace fuzz32f {

typedef std::vector<DT32F> Vec;

// Allocations above this fail (see __asan_default_options), so that huge
// sizes end as an allocation failure instead of exhausting the machine.
constexpr size_t kMaxValues = size_t(1) << 22;
constexpr DT32S kMaxBlock = 1 << 16;  // longer blocks and copies are skipped

inline void expect(bool ok, const char *call, long rc) {
  if (ok) return;
  fprintf(stderr, "%s returned %ld, which it does not document\n", call, rc);
  abort();
}

template <class T>
const T &pick(FuzzedDataProvider &in, const std::vector<T> &v) {
  return v[in.ConsumeIntegralInRange<size_t>(0, v.size() - 1)];
}

struct Ctx {
  FuzzedDataProvider &in;
  std::vector<DT32S> fftWork;
  Vec fftTable;
  // Every InitStatic block of the input, kept to its end: a record that a
  // later failed set-up left alone may still point into an earlier one.
  std::vector<Vec> kept;

  explicit Ctx(FuzzedDataProvider &p) : in(p) {}

  // Sizes from tiny to huge, negative ones and the DT32S extremes included.
  DT32S size() {
    static const DT32S kHuge[] = {-1, std::numeric_limits<DT32S>::min(),
                                  1 << 25, (1 << 28) + 1, (1 << 29) + 1,
                                  1 << 30, 0x7ffffffe, 0x7fffffff};
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    if (pick < 160) return in.ConsumeIntegralInRange<DT32S>(0, 8);
    if (pick < 235) return in.ConsumeIntegralInRange<DT32S>(9, 200);
    return in.PickValueInArray(kHuge);
  }
  // A start or count: mostly near the record's sizes, sometimes anywhere in
  // the DT32S range (the copy checks must not overflow on any pair).
  DT32S index() {
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    if (pick < 200) return in.ConsumeIntegralInRange<DT32S>(-2, 300);
    return in.ConsumeIntegral<DT32S>();
  }
  // Samples and parameters: ordinary values, or the awkward ones.
  DT32F value() {
    typedef std::numeric_limits<DT32F> L;
    static const DT32F kOdd[] = {L::quiet_NaN(), L::infinity(), -L::infinity(),
                                 L::max(), -L::max(), L::denorm_min(),
                                 L::min(), DT32F(-0.0), DT32F(1), DT32F(0)};
    if (in.ConsumeIntegral<uint8_t>() < 220)
      return DT32F(in.ConsumeIntegralInRange<int16_t>(-4096, 4096)) /
             DT32F(4096);
    return in.PickValueInArray(kOdd);
  }
  // FFT tables for 2 .. 4096 values, built once per input: the frequency-
  // domain records hold pointers to them, also after a failed set-up.
  void tables() {
    if (!fftWork.empty()) return;
    const DT32S M = DT32S(1) << in.ConsumeIntegralInRange(1, 12);
    fftWork.assign(2 + quolmFftWorkLen32f(M), 0);
    fftTable.assign(M / 2 > 0 ? M / 2 : 1, DT32F(0));
    quolmFftTables32f(M, fftWork.data(), fftTable.data());
  }
  // InitStatic blocks of the documented sizes; false when they would be too
  // large to allocate (the call then gets null blocks).
  bool blocks(size_t coefLen, size_t stateLen) {
    if (coefLen > kMaxValues || stateLen > kMaxValues) return false;
    kept.emplace_back(coefLen, DT32F(0));
    kept.emplace_back(stateLen, DT32F(0));
    return true;
  }
  DT32F *coefs(bool ok) { return ok ? kept[kept.size() - 2].data() : nullptr; }
  DT32F *state(bool ok) { return ok ? kept.back().data() : nullptr; }
};

template <class R>
using Copy = DT32S (*)(R *, DT32F *, DT32S, DT32S, DT32S);

// One family: its set-up calls (each returns Init's code), the Resize, the
// copies, the code-returning resets, Free, and the processing calls (each
// runs one call on a live record).
template <class R>
struct Family {
  std::function<DT32S(R &, Ctx &)> init, initStatic, resize;
  std::vector<Copy<R>> copies;
  std::vector<DT32S (*)(R *)> resets;
  void (*release)(R *);
  std::vector<std::function<void(R &, Ctx &)>> process;
};

// Runs the calls the input asks for on one record of the family.
template <class R>
void run(const Family<R> &fam, FuzzedDataProvider &in) {
  Ctx ctx(in);
  R rec{};
  bool live = false, owned = false;  // processing allowed / Free needed
  for (int steps = 0; steps < 48 && in.remaining_bytes() > 0; ++steps) {
    switch (in.ConsumeIntegralInRange(0, 6)) {
      case 0:
      case 1: {  // Init or InitStatic, freeing an owned record first
        if (owned) fam.release(&rec);
        const bool isStatic = in.ConsumeBool();
        const DT32S rc = isStatic ? fam.initStatic(rec, ctx) : fam.init(rec, ctx);
        expect(rc >= -3 && rc <= 0, "Init", rc);
        live = rc == 0;
        owned = live && !isStatic;
        break;
      }
      case 2:
        if (owned) {
          const DT32S rc = fam.resize(rec, ctx);
          expect(rc >= -3 && rc <= 0, "Resize", rc);
        }
        break;
      case 3: {  // any copy with any start and count
        if (fam.copies.empty()) break;
        const Copy<R> copy = pick(in, fam.copies);
        const DT32S start = ctx.index(), count = ctx.index();
        // A copy stops at the vector's end, and no record holds kMaxBlock
        // values: that many are room enough for any count.
        Vec values(size_t(count > 1 ? (count < kMaxBlock ? count : kMaxBlock) : 1));
        for (DT32F &v : values) v = ctx.value();
        const DT32S rc = copy(&rec, values.data(), start, count, in.ConsumeBool());
        expect(rc == -1 || rc == -2 || (rc >= 0 && rc <= count), "a copy", rc);
        break;
      }
      case 4:
        for (DT32S (*reset)(R *) : fam.resets) {
          const DT32S rc = reset(&rec);
          expect(rc == 0 || rc == -1, "a reset", rc);
        }
        break;
      case 5:
        if (owned) fam.release(&rec);
        live = owned = false;
        break;
      default:
        if (live && !fam.process.empty())
          for (int n = in.ConsumeIntegralInRange(1, 40); n > 0; --n)
            pick(in, fam.process)(rec, ctx);
        break;
    }
  }
  if (owned) fam.release(&rec);
}

// Helpers of the family tables.
typedef unsigned long long U;
inline U n(DT32S v) { return v < 0 ? 0 : U(v); }  // a size as the formulas use it

// A caller array of `len` values that outlives the record (null when huge).
inline DT32F *callerArray(Ctx &c, DT32S len) {
  if (n(len) > kMaxValues) return nullptr;
  c.kept.emplace_back(n(len));
  for (DT32F &v : c.kept.back()) v = c.value();
  return c.kept.back().data();
}

// One block call on the record's blockLen samples.
template <class R, class Call>
void block(R &r, Ctx &c, Call call) {
  if (r.blockLen < 1 || r.blockLen > kMaxBlock) return;
  Vec x(size_t(r.blockLen)), d(x.size()), y(x.size()), e(x.size());
  for (size_t i = 0; i < x.size(); ++i) x[i] = c.value(), d[i] = c.value();
  const DT32S rc = call(&r, x.data(), d.data(), y.data(), e.data());
  expect(rc == 0, "a block call", rc);
}

}  // namespace fuzz32f

#endif
