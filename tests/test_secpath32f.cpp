// SPDX-License-Identifier: MIT
// Filtered-x and adjoint LMS filters: both against a plain model of their
// per-sample steps, their degenerate forms, history handling, resize, codes,
// and active noise control through a secondary path.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <deque>

#include "testutil32f.h"

namespace {

// The per-sample steps written out on newest-first histories, with the
// library's rounding points.
struct RefSecPath {
  bool adjoint;
  size_t N;
  Vec w, s, h;
  DT32F mu, power = DT32F(1), err = DT32F(0);
  std::deque<DT32F> u, out, filt, errs;  // element j: the value j steps back

  RefSecPath(bool adj, size_t n, DT32F step, const Vec &path, const Vec &model)
      : adjoint(adj), N(n), w(n, DT32F(0)), s(path), h(model), mu(step) {
    const size_t Nm = h.size();
    u.assign(adj ? n + Nm - 1 : (n > Nm ? n : Nm), DT32F(0));
    out.assign(s.size(), DT32F(0));
    filt.assign(n, DT32F(0));
    errs.assign(Nm, DT32F(0));
  }
  static void push(std::deque<DT32F> &q, DT32F v) {
    q.push_front(v);
    q.pop_back();
  }
  template <class Q>
  static double dot(const Vec &c, const Q &q, size_t n) {
    double acc = 0.0;
    for (size_t k = 0; k < n; ++k) acc += double(c[k]) * double(q[k]);
    return acc;
  }
  void track(DT32F v) {
    power = DT32F(double(DT32F(0.01)) * v * v + double(DT32F(0.99)) * power);
  }
  void descend(DT32F g, const std::deque<DT32F> &r, size_t offset) {
    for (size_t j = 0; j < N; ++j)
      w[j] = DT32F(double(w[j]) - double(g) * double(r[offset + j]));
  }
  DT32F step(DT32F x, DT32F d, bool adapt) {
    const size_t Nm = h.size();
    push(u, x);
    push(out, DT32F(dot(w, u, N)));
    const double ys = dot(s, out, s.size());
    const double eps = double(DT32F(1e-12));
    if (!adjoint) {
      const DT32F xf = DT32F(dot(h, u, Nm));
      track(xf);
      if (adapt) {
        const double e = ys + double(d);
        err = DT32F(e);
        push(filt, xf);
        descend(DT32F(double(mu) * e / (double(power) + eps)), filt, 0);
      }
    } else {
      track(u[Nm % u.size()]);  // with N = 1 the ring wraps to the newest
      if (adapt) {
        err = DT32F(ys + double(d));
        push(errs, err);
        double ef = 0.0;  // newest error meets the last model tap
        for (size_t j = 0; j < Nm; ++j) ef += double(errs[j]) * h[Nm - 1 - j];
        descend(DT32F(double(mu) / (double(power) + eps) * ef), u, Nm - 1);
      }
    }
    return DT32F(ys);
  }
};

// The two families behind one set of names for the shared tests.
struct Fx {
  typedef quolmFxlms Rec;
  static constexpr bool adjoint = false;
  static constexpr auto init = fxlms32fInit;
  static constexpr auto initStatic = fxlms32fInitStatic;
  static constexpr auto update = fxlms32fFilterUpdate;
  static constexpr auto filterOnly = fxlms32fFilterOnly;
  static constexpr auto release = fxlms32fFree;
  static constexpr auto reset = fxlms32fReset;
  static constexpr auto resetDelayLine = fxlms32fResetDelayLine;
  static constexpr auto getCoef = fxlms32fGetCoef;
  static constexpr auto setCoef = fxlms32fSetCoef;
  static constexpr auto getDelayLine = fxlms32fGetDelayLine;
  static constexpr auto setDelayLine = fxlms32fSetDelayLine;
  static constexpr auto resize = fxlms32fResize;
  static DT32F *mid(Rec &f) { return f.filtDelayLine; }
  static DT32S midLen(const Rec &f) { return f.length; }
  static DT32S midNewest(const Rec &f) { return f.filtIndex; }
  static DT32S refLen(DT32S N, DT32S Nm) { return N > Nm ? N : Nm; }
  static DT32S midLen(DT32S N, DT32S) { return N; }
};

struct Adj {
  typedef quolmAdjlms Rec;
  static constexpr bool adjoint = true;
  static constexpr auto init = adjlms32fInit;
  static constexpr auto initStatic = adjlms32fInitStatic;
  static constexpr auto update = adjlms32fFilterUpdate;
  static constexpr auto filterOnly = adjlms32fFilterOnly;
  static constexpr auto release = adjlms32fFree;
  static constexpr auto reset = adjlms32fReset;
  static constexpr auto resetDelayLine = adjlms32fResetDelayLine;
  static constexpr auto getCoef = adjlms32fGetCoef;
  static constexpr auto setCoef = adjlms32fSetCoef;
  static constexpr auto getDelayLine = adjlms32fGetDelayLine;
  static constexpr auto setDelayLine = adjlms32fSetDelayLine;
  static constexpr auto resize = adjlms32fResize;
  static DT32F *mid(Rec &f) { return f.errDelayLine; }
  static DT32S midLen(const Rec &f) { return f.modelLength; }
  static DT32S midNewest(const Rec &f) {
    return (f.errIndex + 1) % f.modelLength;
  }
  static DT32S refLen(DT32S N, DT32S Nm) { return N + Nm - 1; }
  static DT32S midLen(DT32S, DT32S Nm) { return Nm; }
};

template <class F>
Vec coefs(typename F::Rec &f) {
  Vec v(size_t(f.length));
  EXPECT_EQ(F::getCoef(&f, v.data(), 0, f.length, 0), f.length);
  return v;
}

template <class F>
Vec reference(typename F::Rec &f) {
  Vec v(size_t(f.refLength));
  EXPECT_EQ(F::getDelayLine(&f, v.data(), 0, f.refLength, 0), f.refLength);
  return v;
}

// A ring's contents by age, newest first.
Vec byAge(const DT32F *ring, DT32S len, DT32S newest) {
  Vec v(static_cast<size_t>(len));
  for (DT32S j = 0; j < len; ++j) v[size_t(j)] = ring[(newest + j) % len];
  return v;
}

template <class F>
Vec outputs(typename F::Rec &f) {
  return byAge(f.outDelayLine, f.secLength, (f.outIndex + 1) % f.secLength);
}

template <class F>
Vec middle(typename F::Rec &f) {
  return byAge(F::mid(f), F::midLen(f), F::midNewest(f));
}

// Active noise control: the reference reaches the error point through a
// primary path (32 taps, 4 samples of delay); the control output through a
// 16-tap secondary path with 2 samples of delay. Returns the attenuation of
// the disturbance at the error point over the last 2000 of 20000 samples, in
// dB (NaN or negative when the loop diverges or fails).
template <class F>
double ancAttenuation(DT32F mu, bool flipModel) {
  Rng rng(2024);
  Vec primary(32, DT32F(0)), path(16, DT32F(0));
  for (int k = 4; k < 32; ++k)
    primary[size_t(k)] = DT32F(rng.sym() * exp(-(k - 4) / 8.0));
  for (int k = 2; k < 16; ++k)
    path[size_t(k)] = DT32F(pow(-0.6, k - 2) * (1 + 0.3 * rng.sym()));
  Vec model = path;
  if (flipModel)
    for (DT32F &v : model) v = -v;
  quolmFir p;
  typename F::Rec f;
  EXPECT_EQ(fir32fInit(&p, 32, primary.data()), 0);
  EXPECT_EQ(F::init(&f, 48, mu, path.data(), 16, model.data(), 16), 0);
  double dPower = 0, ePower = 0;
  for (int i = 0; i < 20000; ++i) {
    const DT32F x = DT32F(rng.sym());
    const DT32F d = fir32fFilter(&p, x);
    F::update(&f, x, d);
    if (i >= 18000) {
      dPower += double(d) * d;
      ePower += double(f.err) * f.err;
    }
  }
  F::release(&f);
  fir32fFree(&p);
  return dB(dPower, ePower);
}

template <class F>
class SecPath : public ::testing::Test {};
typedef ::testing::Types<Fx, Adj> Families;
class FamilyNames {
 public:
  template <class T>
  static std::string GetName(int) {
    return T::adjoint ? "adjlms" : "fxlms";
  }
};
TYPED_TEST_SUITE(SecPath, Families, FamilyNames);

}  // namespace

TYPED_TEST(SecPath, MatchesTheStepByStepModel) {
  typedef TypeParam F;
  struct Shape {
    DT32S N, Ns, Nm;
  } shapes[] = {{6, 5, 4}, {3, 4, 7}, {1, 3, 3}, {5, 3, 1}, {4, 1, 1}};
  for (const Shape &sh : shapes) {
    Rng rng(uint64_t(sh.N * 100 + sh.Nm));
    const Vec path = rng.vec(size_t(sh.Ns)), model = rng.vec(size_t(sh.Nm));
    const DT32F mu = DT32F(0.02);
    typename F::Rec f;
    ASSERT_EQ(F::init(&f, sh.N, mu, const_cast<DT32F *>(path.data()), sh.Ns,
                      const_cast<DT32F *>(model.data()), sh.Nm),
              0);
    EXPECT_EQ(f.refLength, F::refLen(sh.N, sh.Nm));
    RefSecPath ref(F::adjoint, size_t(sh.N), mu, path, model);
    for (int i = 0; i < 300; ++i) {
      const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
      const bool adapt = i % 7 != 3;
      const DT32F ys = adapt ? F::update(&f, x, d) : F::filterOnly(&f, x);
      ASSERT_EQ(ys, ref.step(x, d, adapt)) << "N " << sh.N << " sample " << i;
      ASSERT_EQ(f.err, ref.err) << "N " << sh.N << " sample " << i;
      ASSERT_EQ(f.power, ref.power) << "N " << sh.N << " sample " << i;
    }
    EXPECT_EQ(coefs<F>(f), ref.w) << "N " << sh.N;
    EXPECT_EQ(reference<F>(f), Vec(ref.u.begin(), ref.u.end()));
    F::release(&f);
  }
}

TYPED_TEST(SecPath, CancelsBroadbandNoiseThroughTheSecondaryPath) {
  typedef TypeParam F;
  const DT32F mu = DT32F(F::adjoint ? 0.002 : 0.005);
  const double att = ancAttenuation<F>(mu, false);
  EXPECT_GE(att, 20.0) << "attenuation " << att << " dB in 20000 samples";
  // A model of the wrong sign turns the descent into an ascent.
  const double wrong = ancAttenuation<F>(mu, true);
  EXPECT_FALSE(wrong > 3.0)
      << "sign-flipped model still attenuates by " << wrong << " dB";
  if (getenv("QUOLM_FIGURES"))
    printf("%s: %.1f dB attenuation (sign-flipped model: %.1f dB)\n",
           F::adjoint ? "adjlms" : "fxlms", att, wrong);
}

TYPED_TEST(SecPath, SetUpLayoutAndCodes) {
  typedef TypeParam F;
  typename F::Rec f;
  Vec path = {1, 0.5}, model = {1, 0.5, 0.25};
  const DT32S N = 4, Ns = 2, Nm = 3;
  EXPECT_EQ(F::init(nullptr, N, 1, path.data(), Ns, model.data(), Nm), -1);
  EXPECT_EQ(F::init(&f, 0, 1, path.data(), Ns, model.data(), Nm), -2);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(F::init(&f, N, 1, path.data(), 0, model.data(), Nm), -2);
  EXPECT_EQ(F::init(&f, N, 1, nullptr, Ns, model.data(), 0),
            -2);  // sizes first
  EXPECT_EQ(F::init(&f, N, 1, path.data(), Ns, nullptr, Nm), -1);
  EXPECT_EQ(f.length, 0);
  // Rings that could not be indexed are refused like a failed allocation
  // (Init) or as out of range (InitStatic), before anything is allocated.
  EXPECT_EQ(F::init(&f, INT32_MAX, 1, path.data(), Ns, model.data(), Nm), -3);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(F::initStatic(&f, INT32_MAX - 1, 1, path.data(), Ns, model.data(),
                          Nm, path.data(), model.data()),
            -2);
  const DT32S stateLen = Ns + F::midLen(N, Nm) + F::refLen(N, Nm);
  Vec coefBuf(size_t(N), DT32F(5)), stateBuf(size_t(stateLen), DT32F(5));
  EXPECT_EQ(F::initStatic(&f, N, 1, path.data(), Ns, model.data(), -1, nullptr,
                          nullptr),
            -2);
  EXPECT_EQ(F::initStatic(&f, N, 1, path.data(), Ns, model.data(), Nm,
                          coefBuf.data(), nullptr),
            -1);
  EXPECT_EQ(f.length, 0);
  ASSERT_EQ(F::initStatic(&f, N, DT32F(0.5), path.data(), Ns, model.data(), Nm,
                          coefBuf.data(), stateBuf.data()),
            0);
  EXPECT_EQ(coefBuf, Vec(size_t(N), DT32F(0)));
  EXPECT_EQ(stateBuf, Vec(size_t(stateLen), DT32F(0)));
  // The state block holds output, middle and reference rings in this order;
  // the caller's path and model are referenced, not copied.
  EXPECT_EQ(f.outDelayLine, stateBuf.data());
  EXPECT_EQ(F::mid(f), stateBuf.data() + Ns);
  EXPECT_EQ(f.delayLine, stateBuf.data() + Ns + F::midLen(N, Nm));
  EXPECT_EQ(f.secPath, path.data());
  EXPECT_EQ(f.secModel, model.data());
  EXPECT_EQ(f.power, DT32F(1));
  EXPECT_EQ(f.index + f.outIndex, 0);
  EXPECT_EQ(f.mu, DT32F(0.5));

  Vec v(8, DT32F(-1));
  const DT32S R = f.refLength;
  EXPECT_EQ(F::getDelayLine(&f, v.data(), R - 1, 5, 0), 1);
  EXPECT_EQ(F::getDelayLine(&f, v.data(), R, 1, 0), -2);
  EXPECT_EQ(F::getDelayLine(&f, v.data(), 0, 0, 0), -2);
  EXPECT_EQ(F::getDelayLine(&f, nullptr, 0, 1, 0), -1);
  EXPECT_EQ(F::getDelayLine(nullptr, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(F::getCoef(&f, v.data(), N, 1, 0), -2);
  Vec w = {1, 2, 3, 4};
  EXPECT_EQ(F::setCoef(&f, w.data(), 1, 9, 1), 3);
  EXPECT_EQ(coefs<F>(f), (Vec{0, 3, 2, 1}));
  EXPECT_EQ(F::reset(&f), 0);
  EXPECT_EQ(coefs<F>(f), Vec(size_t(N), DT32F(0)));
  EXPECT_EQ(F::reset(nullptr), -1);
  EXPECT_EQ(F::resetDelayLine(nullptr), -1);
  EXPECT_EQ(F::resize(nullptr, 3), -1);
  expectCopyExtremes(&f, N, {F::getCoef, F::setCoef});
  expectCopyExtremes(&f, R, {F::getDelayLine, F::setDelayLine});

  // Free releases both blocks and clears the pointers into them.
  ASSERT_EQ(F::init(&f, N, 1, path.data(), Ns, model.data(), Nm), 0);
  F::release(&f);
  EXPECT_EQ(f.coefs, nullptr);
  EXPECT_EQ(f.outDelayLine, nullptr);
  EXPECT_EQ(F::mid(f), nullptr);
  EXPECT_EQ(f.delayLine, nullptr);
  EXPECT_EQ(F::reset(&f), -1);
  EXPECT_EQ(F::resetDelayLine(&f), -1);
  EXPECT_EQ(F::getDelayLine(&f, v.data(), 0, 1, 0), -1);
  EXPECT_EQ(F::resize(&f, 2), -1);
  EXPECT_EQ(f.length, N);
}

TYPED_TEST(SecPath, HistoriesResetAndResize) {
  typedef TypeParam F;
  Rng rng(77);
  Vec path = rng.vec(3), model = rng.vec(2);
  typename F::Rec f;
  ASSERT_EQ(F::init(&f, 6, DT32F(0.05), path.data(), 3, model.data(), 2), 0);
  Vec w = rng.vec(6);
  F::setCoef(&f, w.data(), 0, 6, 0);
  for (int i = 0; i < 20; ++i)
    F::update(&f, DT32F(rng.sym()), DT32F(rng.sym()));
  const Vec ref = reference<F>(f), out = outputs<F>(f), mid = middle<F>(f);
  w = coefs<F>(f);
  const DT32F power = f.power;

  EXPECT_EQ(F::resize(&f, 6), 0);
  EXPECT_EQ(coefs<F>(f), w);
  // Shorter: the first coefficients and the newest values of each history,
  // each keeping its age; the indices start again from 0.
  ASSERT_EQ(F::resize(&f, 4), 0);
  EXPECT_EQ(f.length, 4);
  EXPECT_EQ(f.refLength, F::refLen(4, 2));
  EXPECT_EQ(f.index + f.outIndex, 0);
  EXPECT_EQ(f.power, power);
  EXPECT_EQ(f.mu, DT32F(0.05));
  EXPECT_EQ(coefs<F>(f), Vec(w.begin(), w.begin() + 4));
  EXPECT_EQ(reference<F>(f), Vec(ref.begin(), ref.begin() + f.refLength));
  EXPECT_EQ(outputs<F>(f), out);
  const Vec midShort = middle<F>(f);
  EXPECT_EQ(midShort, Vec(mid.begin(), mid.begin() + F::midLen(f)));
  // Longer again: zeros beyond what was kept.
  ASSERT_EQ(F::resize(&f, 7), 0);
  Vec grown(w.begin(), w.begin() + 4);
  grown.resize(7, DT32F(0));
  EXPECT_EQ(coefs<F>(f), grown);
  Vec refGrown(ref.begin(), ref.begin() + F::refLen(4, 2));
  refGrown.resize(size_t(F::refLen(7, 2)), DT32F(0));
  EXPECT_EQ(reference<F>(f), refGrown);
  Vec midGrown = midShort;
  midGrown.resize(size_t(F::midLen(7, 2)), DT32F(0));
  EXPECT_EQ(middle<F>(f), midGrown);
  EXPECT_EQ(F::resize(&f, 0), -2);
  EXPECT_EQ(f.length, 7);

  // ResetDelayLine clears all three histories, nothing else.
  const DT32S index = f.index, outIndex = f.outIndex;
  EXPECT_EQ(F::resetDelayLine(&f), 0);
  EXPECT_EQ(reference<F>(f), Vec(size_t(f.refLength), DT32F(0)));
  EXPECT_EQ(outputs<F>(f), Vec(3, DT32F(0)));
  EXPECT_EQ(middle<F>(f), Vec(size_t(F::midLen(f)), DT32F(0)));
  EXPECT_EQ(f.index, index);
  EXPECT_EQ(f.outIndex, outIndex);
  EXPECT_EQ(f.power, power);
  EXPECT_EQ(coefs<F>(f), grown);
  // Set then Get by age returns the same values.
  Vec r = rng.vec(size_t(f.refLength)), back(r.size());
  EXPECT_EQ(F::setDelayLine(&f, r.data(), 0, f.refLength, 1), f.refLength);
  EXPECT_EQ(F::getDelayLine(&f, back.data(), 0, f.refLength, 1), f.refLength);
  EXPECT_EQ(back, r);
  F::release(&f);
}

TYPED_TEST(SecPath, AllocatesOnlyInInitAndResize) {
  typedef TypeParam F;
  Vec path = {1, 0.5, 0.25}, model = {1, 0.5};
  typename F::Rec f;
  expectAllocFailuresClean(
      [&] { return F::init(&f, 32, 1, path.data(), 3, model.data(), 2); },
      [&](DT32S) { EXPECT_EQ(f.length, 0); }, [&] { F::release(&f); });
  ASSERT_EQ(F::init(&f, 8, DT32F(0.01), path.data(), 3, model.data(), 2), 0);
  for (int i = 0; i < 10; ++i) F::update(&f, DT32F(i), 1);
  const Vec w = coefs<F>(f), ref = reference<F>(f);
  expectAllocFailuresClean([&] { return F::resize(&f, 12); },
                           [&](DT32S) {
                             EXPECT_EQ(f.length, 8);
                             EXPECT_EQ(coefs<F>(f), w);
                             EXPECT_EQ(reference<F>(f), ref);
                           },
                           [&] { F::release(&f); });
  ASSERT_EQ(F::init(&f, 8, DT32F(0.01), path.data(), 3, model.data(), 2), 0);
  expectNoAllocation([&] {
    F::update(&f, 1, 1);
    F::filterOnly(&f, 1);
  });
  F::release(&f);
}

TEST(Fxlms, UnitPathsGiveNormalisedLms) {
  // With unit path and model the error is y + d and the step descends along
  // the reference itself: NLMS on the negated disturbance.
  Rng rng(12);
  Vec one = {1};
  quolmFxlms fx;
  quolmNlms nl;
  ASSERT_EQ(fxlms32fInit(&fx, 5, DT32F(0.1), one.data(), 1, one.data(), 1), 0);
  ASSERT_EQ(nlms32fInit(&nl, 5, DT32F(0.1)), 0);
  double worst = 0;
  for (int i = 0; i < 500; ++i) {
    const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
    const double a = fxlms32fFilterUpdate(&fx, x, d);
    const double b = nlms32fFilterUpdate(&nl, x, -d);
    worst = fmax(worst, fabs(a - b));
    worst = fmax(worst, fabs(double(fx.err) + nl.err));
    worst = fmax(worst, fabs(double(fx.power) - nl.power));
  }
  EXPECT_LT(worst, 100 * kEps) << "largest difference " << worst;
  fxlms32fFree(&fx);
  nlms32fFree(&nl);
}

TEST(Fxlms, FilteredReferenceRingStepsBeforeItWrites) {
  Vec path = {1}, model = {0, 0, 0, 1};  // the model delays by 3 samples
  quolmFxlms f;
  ASSERT_EQ(fxlms32fInit(&f, 2, DT32F(0.1), path.data(), 1, model.data(), 4),
            0);
  EXPECT_EQ(f.refLength, 4);  // Nm > N: the reference ring has Nm slots
  for (int i = 1; i <= 4; ++i) fxlms32fFilterOnly(&f, DT32F(i));
  // FilterOnly: the power follows the filtered reference (0, 0, 0, 1) but
  // the filtered-reference ring and its index stay as they were.
  DT32F power = DT32F(1);
  for (int i = 1; i <= 4; ++i)
    power = DT32F(double(DT32F(0.01)) * (i == 4) + double(DT32F(0.99)) * power);
  EXPECT_EQ(f.power, power);
  EXPECT_EQ(f.filtIndex, 0);
  EXPECT_EQ(f.filtDelayLine[0] + f.filtDelayLine[1], DT32F(0));
  Vec v(8);
  EXPECT_EQ(fxlms32fGetDelayLine(&f, v.data(), 0, 8, 0), 4);
  EXPECT_EQ(Vec(v.begin(), v.begin() + 4), (Vec{4, 3, 2, 1}));
  // The first update stores x' = u(3) = 2 in the last slot.
  fxlms32fFilterUpdate(&f, 5, 0);
  EXPECT_EQ(f.filtIndex, 1);
  EXPECT_EQ(f.filtDelayLine[1], DT32F(2));
  const DT32F err = f.err;
  fxlms32fFilterOnly(&f, 6);
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(f.filtIndex, 1);
  fxlms32fFree(&f);
}

TEST(Adjlms, UnitModelPairsTheErrorWithTheCurrentReference) {
  // Nm = 1 and h = [1]: the filtered error is the error, the regressor is
  // undelayed and the power follows the previous reference sample.
  Vec one = {1};
  quolmAdjlms f;
  ASSERT_EQ(adjlms32fInit(&f, 2, DT32F(0.5), one.data(), 1, one.data(), 1), 0);
  EXPECT_EQ(f.refLength, 2);
  adjlms32fFilterUpdate(&f, 2, 0);  // y = 0, e = 0: no change, power from 0
  EXPECT_EQ(f.power, DT32F(0.99));
  EXPECT_EQ(adjlms32fFilterUpdate(&f, 1, 1), DT32F(0));
  EXPECT_EQ(f.err, DT32F(1));
  const double power = double(DT32F(0.01)) * 4 + double(DT32F(0.99)) * 0.99;
  EXPECT_EQ(f.power, DT32F(power));
  const DT32F g = DT32F(0.5 / (double(DT32F(power)) + double(DT32F(1e-12))));
  Vec w(2);
  adjlms32fGetCoef(&f, w.data(), 0, 2, 0);
  EXPECT_EQ(w, (Vec{DT32F(-double(g)), DT32F(-2 * double(g))}));
  const DT32F err = f.err;
  const DT32S errIndex = f.errIndex;
  const DT32F e0 = f.errDelayLine[0], before = f.power;
  adjlms32fFilterOnly(&f, 3);  // power from u(1) = 1; no error touched
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(f.errIndex, errIndex);
  EXPECT_EQ(f.errDelayLine[0], e0);
  EXPECT_EQ(f.power, DT32F(double(DT32F(0.01)) + double(DT32F(0.99)) * before));
  adjlms32fFree(&f);
}
