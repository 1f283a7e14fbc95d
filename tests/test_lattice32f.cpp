// SPDX-License-Identifier: MIT
// Gradient lattice filters: the LMS lattice joint-process estimator and the
// lattice backward and forward prediction error filters.
#include <string>

#include "testutil32f.h"

extern "C" int cSmokeLattice(void);

namespace {

// The library's lattice constants: single-precision values in both builds.
const double kKeep = double(DT32F(0.98f)), kGain = double(DT32F(0.01f)),
             kReg = double(DT32F(1e-15f));

Vec vecOf(const DT32F *p, DT32S n) { return Vec(p, p + n); }

// Adaptors giving the three families one face for the tests they share.
// `run` is the length of each state vector, `runs` the number of them.
struct LmsLatticeFam {
  typedef quolmLmslattice Rec;
  static constexpr DT32S extra = 0, runs = 3;
  static constexpr bool onlyWritesErr = false;
  static DT32S init(Rec *f, DT32S n) {
    return lmslattice32fInit(f, n, DT32F(0.01), DT32F(0.05));
  }
  static DT32S initStatic(Rec *f, DT32S n, DT32F *c, DT32F *s) {
    return lmslattice32fInitStatic(f, n, DT32F(0.01), DT32F(0.05), c, s);
  }
  static DT32F update(Rec *f, DT32F x) {
    return lmslattice32fFilterUpdate(f, x, DT32F(0.5) * x);
  }
  static DT32F only(Rec *f, DT32F x) { return lmslattice32fFilterOnly(f, x); }
  static DT32S &flag(Rec *f) { return f->adaptParcor; }
  static constexpr auto free = lmslattice32fFree;
  static constexpr auto reset = lmslattice32fReset;
  static constexpr auto resize = lmslattice32fResize;
  static constexpr auto getCoef = lmslattice32fGetCoef;
  static constexpr auto setCoef = lmslattice32fSetCoef;
  static constexpr auto getParcor = lmslattice32fGetParcor;
  static constexpr auto setParcor = lmslattice32fSetParcor;
  static constexpr auto getDelayLine = lmslattice32fGetDelayLine;
  static constexpr auto setDelayLine = lmslattice32fSetDelayLine;
};

struct LbpefFam {
  typedef quolmLbpef Rec;
  static constexpr DT32S extra = 1, runs = 4;
  static constexpr bool onlyWritesErr = true;
  static DT32S init(Rec *f, DT32S n) { return lbpef32fInit(f, n, DT32F(0.01)); }
  static DT32S initStatic(Rec *f, DT32S n, DT32F *c, DT32F *s) {
    return lbpef32fInitStatic(f, n, DT32F(0.01), c, s);
  }
  static DT32F update(Rec *f, DT32F x) { return lbpef32fFilterUpdate(f, x); }
  static DT32F only(Rec *f, DT32F x) { return lbpef32fFilterOnly(f, x); }
  static DT32S &flag(Rec *f) { return f->updateCoefs; }
  static constexpr auto free = lbpef32fFree;
  static constexpr auto reset = lbpef32fReset;
  static constexpr auto resize = lbpef32fResize;
  static constexpr auto getCoef = lbpef32fGetCoef;
  static constexpr auto setCoef = lbpef32fSetCoef;
  static constexpr auto getParcor = lbpef32fGetParcor;
  static constexpr auto setParcor = lbpef32fSetParcor;
  static constexpr auto getDelayLine = lbpef32fGetDelayLine;
  static constexpr auto setDelayLine = lbpef32fSetDelayLine;
};

struct LfpefFam {
  typedef quolmLfpef Rec;
  static constexpr DT32S extra = 1, runs = 3;
  static constexpr bool onlyWritesErr = true;
  static DT32S init(Rec *f, DT32S n) { return lfpef32fInit(f, n, DT32F(0.01)); }
  static DT32S initStatic(Rec *f, DT32S n, DT32F *c, DT32F *s) {
    return lfpef32fInitStatic(f, n, DT32F(0.01), c, s);
  }
  static DT32F update(Rec *f, DT32F x) { return lfpef32fFilterUpdate(f, x); }
  static DT32F only(Rec *f, DT32F x) { return lfpef32fFilterOnly(f, x); }
  static DT32S &flag(Rec *f) { return f->updateCoefs; }
  static constexpr auto free = lfpef32fFree;
  static constexpr auto reset = lfpef32fReset;
  static constexpr auto resize = lfpef32fResize;
  static constexpr auto getCoef = lfpef32fGetCoef;
  static constexpr auto setCoef = lfpef32fSetCoef;
  static constexpr auto getParcor = lfpef32fGetParcor;
  static constexpr auto setParcor = lfpef32fSetParcor;
  static constexpr auto getDelayLine = lfpef32fGetDelayLine;
  static constexpr auto setDelayLine = lfpef32fSetDelayLine;
};

template <class F>
class LatticeCommon : public ::testing::Test {
 protected:
  typedef typename F::Rec Rec;
  static DT32S run(DT32S n) { return n + F::extra; }

  // Feeds a fixed random signal through FilterUpdate.
  static void train(Rec *f, int samples, uint64_t seed = 3) {
    Rng rng(seed);
    for (int i = 0; i < samples; ++i) F::update(f, DT32F(rng.sym()));
  }
  static Vec coefs(Rec *f) { return vecOf(f->coefs, f->length); }
  static Vec parcor(Rec *f) { return vecOf(f->parcor, f->length); }
  static Vec delay(Rec *f) { return vecOf(f->delayLine, f->length); }
  static Vec power(Rec *f) { return vecOf(f->power, run(f->length)); }
};

typedef ::testing::Types<LmsLatticeFam, LbpefFam, LfpefFam> Families;
TYPED_TEST_SUITE(LatticeCommon, Families);

TYPED_TEST(LatticeCommon, InitAndInitStaticCodes) {
  typedef TypeParam F;
  typename F::Rec f;
  DT32F c[8], s[32];
  EXPECT_EQ(F::init(nullptr, 4), -1);
  EXPECT_EQ(F::initStatic(nullptr, 4, c, s), -1);
  for (DT32S n : {0, -3}) {
    f.length = 7;
    EXPECT_EQ(F::init(&f, n), -2);
    EXPECT_EQ(f.length, 0);
    f.length = 7;
    EXPECT_EQ(F::initStatic(&f, n, c, s), -2);
    EXPECT_EQ(f.length, 0);
  }
  // A null block is reported before the order is looked at.
  f.length = 7;
  EXPECT_EQ(F::initStatic(&f, 0, nullptr, s), -1);
  EXPECT_EQ(f.length, 0);
  f.length = 7;
  EXPECT_EQ(F::initStatic(&f, 4, c, nullptr), -1);
  EXPECT_EQ(f.length, 0);
  // An order whose blocks the library could not index.
  EXPECT_EQ(F::init(&f, INT32_MAX), -3);
  EXPECT_EQ(f.length, 0);
  EXPECT_EQ(F::initStatic(&f, INT32_MAX, c, s), -2);

  // InitStatic zeroes the caller's blocks and lays the vectors out in them.
  const DT32S n = 4, r = this->run(n);
  for (DT32F &v : c) v = DT32F(7);
  for (DT32F &v : s) v = DT32F(7);
  ASSERT_EQ(F::initStatic(&f, n, c, s), 0);
  EXPECT_EQ(f.length, n);
  EXPECT_EQ(F::flag(&f), 1);
  EXPECT_EQ(f.err, DT32F(0));
  EXPECT_EQ(f.coefs, c);
  EXPECT_EQ(f.parcor, c + n);
  EXPECT_EQ(f.delayLine, s);
  EXPECT_EQ(f.power, s + r);
  EXPECT_EQ(f.scratch, s + 2 * r);
  for (DT32S i = 0; i < 2 * n; ++i) EXPECT_EQ(c[i], DT32F(0)) << i;
  for (DT32S i = 0; i < F::runs * r; ++i)
    EXPECT_EQ(s[i], DT32F(i >= r && i < 2 * r ? 1 : 0)) << i;
  EXPECT_EQ(s[F::runs * r], DT32F(7)) << "wrote past the state block";

  // Init gives the same starting state in blocks of its own.
  typename F::Rec g;
  ASSERT_EQ(F::init(&g, n), 0);
  EXPECT_EQ(g.length, n);
  EXPECT_EQ(F::flag(&g), 1);
  EXPECT_EQ(this->power(&g), Vec(size_t(r), DT32F(1)));
  EXPECT_EQ(vecOf(g.scratch, r), Vec(size_t(r), DT32F(0)));
  EXPECT_EQ(this->coefs(&g), Vec(size_t(n), DT32F(0)));
  EXPECT_EQ(this->parcor(&g), Vec(size_t(n), DT32F(0)));
  EXPECT_EQ(vecOf(g.delayLine, r), Vec(size_t(r), DT32F(0)));
  F::free(&g);
  EXPECT_EQ(g.length, 0);
  EXPECT_EQ(g.coefs, nullptr);
  EXPECT_EQ(g.delayLine, nullptr);
  EXPECT_EQ(g.parcor, nullptr);
}

TYPED_TEST(LatticeCommon, VectorCopiesFollowTheCopyRules) {
  typedef TypeParam F;
  typedef DT32S (*Copy)(typename F::Rec *, DT32F *, DT32S, DT32S, DT32S);
  const Copy gets[] = {F::getCoef, F::getParcor, F::getDelayLine};
  const Copy sets[] = {F::setCoef, F::setParcor, F::setDelayLine};
  typename F::Rec f;
  ASSERT_EQ(F::init(&f, 5), 0);
  DT32F *vecs[] = {f.coefs, f.parcor, f.delayLine};
  for (int v = 0; v < 3; ++v) {
    SCOPED_TRACE(v);
    Vec in = {1, 2, 3, 4, 5}, out(8, DT32F(-1));
    EXPECT_EQ(sets[v](&f, in.data(), 0, 5, 0), 5);
    EXPECT_EQ(vecOf(vecs[v], 5), in);
    // Reversed: values[n-1-i] pairs with element start + i.
    EXPECT_EQ(gets[v](&f, out.data(), 2, 3, 1), 3);
    EXPECT_EQ(out[0], DT32F(5));
    EXPECT_EQ(out[1], DT32F(4));
    EXPECT_EQ(out[2], DT32F(3));
    Vec three = {7, 8, 9};
    EXPECT_EQ(sets[v](&f, three.data(), 1, 3, 1), 3);
    EXPECT_EQ(vecOf(vecs[v], 5), (Vec{1, 9, 8, 7, 5}));
    // Bounded by N: start N-1 copies one value, start N and count 0 fail.
    EXPECT_EQ(gets[v](&f, out.data(), 4, 5, 0), 1);
    EXPECT_EQ(out[0], DT32F(5));
    EXPECT_EQ(gets[v](&f, out.data(), 5, 1, 0), -2);
    EXPECT_EQ(gets[v](&f, out.data(), -1, 1, 0), -2);
    EXPECT_EQ(sets[v](&f, out.data(), 0, 0, 0), -2);
    EXPECT_EQ(sets[v](&f, nullptr, 0, 1, 0), -1);
    EXPECT_EQ(gets[v](nullptr, out.data(), 0, 1, 0), -1);
  }
  // The lattice's last backward error is not reachable through the copies.
  expectCopyExtremes(&f, 5,
                     {gets[0], gets[1], gets[2], sets[0], sets[1], sets[2]});
  if (F::extra) EXPECT_EQ(f.delayLine[5], DT32F(0));
  F::free(&f);
  DT32F one;
  for (int v = 0; v < 3; ++v) EXPECT_EQ(gets[v](&f, &one, 0, 1, 0), -1);
}

TYPED_TEST(LatticeCommon, ResetClearsCoefficientsOnly) {
  typedef TypeParam F;
  typename F::Rec f;
  ASSERT_EQ(F::init(&f, 4), 0);
  this->train(&f, 200);
  F::flag(&f) = 0;
  const Vec b = this->delay(&f), P = this->power(&f);
  const DT32F err = f.err;
  ASSERT_NE(this->parcor(&f), Vec(4, DT32F(0)));
  EXPECT_EQ(F::reset(&f), 0);
  EXPECT_EQ(this->coefs(&f), Vec(4, DT32F(0)));
  EXPECT_EQ(this->parcor(&f), Vec(4, DT32F(0)));
  EXPECT_EQ(this->delay(&f), b);
  EXPECT_EQ(this->power(&f), P);
  EXPECT_EQ(f.err, err);
  EXPECT_EQ(F::flag(&f), 0);
  EXPECT_EQ(F::reset(nullptr), -1);
  F::free(&f);
  EXPECT_EQ(F::reset(&f), -1) << "a freed record has no coefficients";
}

TYPED_TEST(LatticeCommon, FilterOnlyFreezesCoefficientsButTracksTheLattice) {
  typedef TypeParam F;
  typename F::Rec a, b;
  ASSERT_EQ(F::init(&a, 6), 0);
  ASSERT_EQ(F::init(&b, 6), 0);
  this->train(&a, 300);
  this->train(&b, 300);
  const Vec k = this->parcor(&b), w = this->coefs(&b);
  const DT32F errBefore = b.err;
  // One step from the same state: the stage errors and powers use the
  // coefficients from before the update, so they agree exactly.
  Rng rng(9);
  for (int i = 0; i < 20; ++i) {
    const DT32F x = DT32F(rng.sym());
    F::update(&a, x);
    F::only(&b, x);
    ASSERT_EQ(this->power(&b), this->power(&a)) << "sample " << i;
    ASSERT_EQ(this->delay(&b), this->delay(&a)) << "sample " << i;
    if (F::onlyWritesErr) ASSERT_EQ(b.err, a.err) << "sample " << i;
    // Bring a back to b's coefficients so that the next step starts equal.
    ASSERT_EQ(F::setParcor(&a, this->parcor(&b).data(), 0, 6, 0), 6);
    ASSERT_EQ(F::setCoef(&a, this->coefs(&b).data(), 0, 6, 0), 6);
  }
  EXPECT_EQ(this->parcor(&b), k);
  EXPECT_EQ(this->coefs(&b), w);
  if (!F::onlyWritesErr) EXPECT_EQ(b.err, errBefore);
  F::free(&a);
  F::free(&b);
}

TYPED_TEST(LatticeCommon, ResizeKeepsLeadingValuesAndRestartsPowers) {
  typedef TypeParam F;
  typename F::Rec f;
  ASSERT_EQ(F::init(&f, 6), 0);
  this->train(&f, 300);
  F::flag(&f) = 0;
  const Vec w = this->coefs(&f), k = this->parcor(&f), b = this->delay(&f),
            P = this->power(&f);
  // Same length: nothing changes, not even the powers.
  EXPECT_EQ(F::resize(&f, 6), 0);
  EXPECT_EQ(this->power(&f), P);
  // Failures leave the record as it was.
  EXPECT_EQ(F::resize(&f, 0), -2);
  EXPECT_EQ(F::resize(nullptr, 3), -1);
  EXPECT_EQ(f.length, 6);
  EXPECT_EQ(this->coefs(&f), w);

  ASSERT_EQ(F::resize(&f, 3), 0);
  EXPECT_EQ(f.length, 3);
  EXPECT_EQ(F::flag(&f), 0);
  EXPECT_EQ(this->coefs(&f), Vec(w.begin(), w.begin() + 3));
  EXPECT_EQ(this->parcor(&f), Vec(k.begin(), k.begin() + 3));
  EXPECT_EQ(this->delay(&f), Vec(b.begin(), b.begin() + 3));
  EXPECT_EQ(this->power(&f), Vec(size_t(this->run(3)), DT32F(1)));

  ASSERT_EQ(F::resize(&f, 5), 0);
  Vec w5(w.begin(), w.begin() + 3), k5(k.begin(), k.begin() + 3),
      b5(b.begin(), b.begin() + 3);
  for (Vec *v : {&w5, &k5, &b5}) v->resize(5, DT32F(0));
  EXPECT_EQ(this->coefs(&f), w5);
  EXPECT_EQ(this->parcor(&f), k5);
  EXPECT_EQ(this->delay(&f), b5);
  EXPECT_EQ(vecOf(f.delayLine, this->run(5)), [&] {
    Vec all = b5;
    all.resize(size_t(this->run(5)), DT32F(0));
    return all;
  }());
  F::free(&f);
  // A freed record has nothing to carry over.
  EXPECT_EQ(F::resize(&f, 4), -2);
  EXPECT_EQ(f.length, 0);
}

TYPED_TEST(LatticeCommon, AllocationFailuresLeakNothing) {
  typedef TypeParam F;
  typename F::Rec f;
  expectAllocFailuresClean([&] { return F::init(&f, 9); },
                           [&](DT32S) { EXPECT_EQ(f.length, 0); },
                           [&] { F::free(&f); });
  ASSERT_EQ(F::init(&f, 5), 0);
  this->train(&f, 50);
  const Vec w = this->coefs(&f), P = this->power(&f);
  expectAllocFailuresClean(
      [&] { return F::resize(&f, 8); },
      [&](DT32S) {
        EXPECT_EQ(f.length, 5);
        EXPECT_EQ(this->coefs(&f), w);
        EXPECT_EQ(this->power(&f), P);
      },
      [&] { EXPECT_EQ(F::resize(&f, 5), 0); });
  F::free(&f);
}

TYPED_TEST(LatticeCommon, ProcessingDoesNotAllocate) {
  typedef TypeParam F;
  typename F::Rec f;
  ASSERT_EQ(F::init(&f, 16), 0);
  expectNoAllocation([&] {
    this->train(&f, 64);
    for (int i = 0; i < 64; ++i) F::only(&f, DT32F(0.25) * DT32F(i % 5));
  });
  F::free(&f);
}

// ---------------------------------------------------------------------------
// LMS lattice

TEST(LmsLattice, TwoStagesByHand) {
  quolmLmslattice f;
  ASSERT_EQ(lmslattice32fInit(&f, 2, DT32F(0.1), DT32F(0.2)), 0);
  DT32F k[] = {DT32F(0.5), DT32F(0.9)}, b[] = {2, 0}, w[] = {1, 2};
  ASSERT_EQ(lmslattice32fSetParcor(&f, k, 0, 2, 0), 2);
  ASSERT_EQ(lmslattice32fSetDelayLine(&f, b, 0, 2, 0), 2);
  ASSERT_EQ(lmslattice32fSetCoef(&f, w, 0, 2, 0), 2);
  // x = 1: forward error 1 - 0.5*2 = 0, backward error 2 - 0.5*1 = 1.5.
  const DT32F y = lmslattice32fFilterUpdate(&f, 1, 5);
  EXPECT_EQ(y, DT32F(4));  // 1*1 + 1.5*2
  EXPECT_EQ(f.err, DT32F(1));
  const double P0 = kKeep + kGain * 5, P1 = kKeep;
  EXPECT_NEAR(f.power[0], P0, kEps);
  EXPECT_NEAR(f.power[1], P1, kEps);
  EXPECT_EQ(f.delayLine[0], DT32F(1));
  EXPECT_EQ(f.delayLine[1], DT32F(1.5));
  EXPECT_NEAR(f.parcor[0], 0.5 + 0.1 / P0 * 1.5, kEps);
  EXPECT_EQ(f.parcor[1], DT32F(0.9)) << "the last reflection coefficient";
  EXPECT_NEAR(f.coefs[0], 1 + 0.2 / P0, kEps);
  EXPECT_NEAR(f.coefs[1], 2 + 1.5 * 0.2 / P1, kEps);
  lmslattice32fFree(&f);
}

TEST(LmsLattice, OrderOneIsANormalisedSingleTap) {
  quolmLmslattice f;
  ASSERT_EQ(lmslattice32fInit(&f, 1, DT32F(0.1), DT32F(0.5)), 0);
  EXPECT_EQ(lmslattice32fFilterUpdate(&f, 2, 1), DT32F(0));
  const double P0 = kKeep + kGain * 4, w0 = 2 * 0.5 * 1 / (P0 + kReg);
  EXPECT_NEAR(f.power[0], P0, kEps);
  EXPECT_NEAR(f.coefs[0], w0, kEps);
  // P[0] follows this and the previous sample.
  const DT32F y = lmslattice32fFilterUpdate(&f, -1, DT32F(0.5));
  EXPECT_NEAR(y, -w0, kEps);
  const double P1 = kKeep * P0 + kGain * 5;
  EXPECT_NEAR(f.power[0], P1, kEps);
  EXPECT_NEAR(f.coefs[0], w0 + (-1) * 0.5 * (0.5 + w0) / P1, 4 * kEps);
  EXPECT_EQ(f.parcor[0], DT32F(0));
  lmslattice32fFree(&f);
}

TEST(LmsLattice, SilenceAfterInitOnlyDecaysThePowers) {
  quolmLmslattice f;
  ASSERT_EQ(lmslattice32fInit(&f, 4, DT32F(0.1), DT32F(0.5)), 0);
  DT32F p = 1;
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(lmslattice32fFilterUpdate(&f, 0, DT32F(i + 1)), DT32F(0));
    EXPECT_EQ(f.err, DT32F(i + 1));
    p = DT32F(kKeep * double(p));
  }
  for (DT32S i = 0; i < 4; ++i) {
    EXPECT_EQ(f.power[i], p) << i;
    EXPECT_EQ(f.coefs[i], DT32F(0)) << i;
    EXPECT_EQ(f.parcor[i], DT32F(0)) << i;
  }
  lmslattice32fFree(&f);
}

TEST(LmsLattice, FrozenAndUnusedReflectionCoefficients) {
  quolmLmslattice a, b;
  ASSERT_EQ(lmslattice32fInit(&a, 4, DT32F(0.02), DT32F(0.05)), 0);
  ASSERT_EQ(lmslattice32fInit(&b, 4, DT32F(0.02), DT32F(0.05)), 0);
  // k[N-1] is in no computation: records differing only there agree.
  DT32F last = DT32F(0.7);
  ASSERT_EQ(lmslattice32fSetParcor(&b, &last, 3, 1, 0), 1);
  Rng rng(5);
  for (int i = 0; i < 300; ++i) {
    const DT32F x = DT32F(rng.sym()), d = DT32F(rng.sym());
    ASSERT_EQ(lmslattice32fFilterUpdate(&a, x, d),
              lmslattice32fFilterUpdate(&b, x, d));
  }
  EXPECT_EQ(b.parcor[3], last);
  EXPECT_EQ(vecOf(a.coefs, 4), vecOf(b.coefs, 4));
  // With adaptParcor 0 only the ladder learns.
  Vec k = {DT32F(0.3), DT32F(-0.2), DT32F(0.1), DT32F(0.4)};
  ASSERT_EQ(lmslattice32fSetParcor(&a, k.data(), 0, 4, 0), 4);
  a.adaptParcor = 0;
  const Vec w = vecOf(a.coefs, 4);
  for (int i = 0; i < 100; ++i)
    lmslattice32fFilterUpdate(&a, DT32F(rng.sym()), DT32F(rng.sym()));
  EXPECT_EQ(vecOf(a.parcor, 4), k);
  EXPECT_NE(vecOf(a.coefs, 4), w);
  // Reset keeps the backward errors: the output is 0, the history is not.
  ASSERT_EQ(lmslattice32fReset(&a), 0);
  EXPECT_EQ(lmslattice32fFilterOnly(&a, 1), DT32F(0));
  EXPECT_NE(a.delayLine[3], DT32F(0));
  lmslattice32fFree(&a);
  lmslattice32fFree(&b);
}

TEST(LmsLattice, IdentifiesAnUnknownFirSystem) {
  const int taps = 8, samples = 6000, tail = 1000;
  Rng rng(11);
  const Vec h = rng.vec(taps);
  quolmLmslattice f;
  ASSERT_EQ(lmslattice32fInit(&f, taps, DT32F(0.0005), DT32F(0.05)), 0);
  Vec hist(taps, DT32F(0));
  double errPow = 0, desPow = 0;
  for (int n = 0; n < samples; ++n) {
    hist.insert(hist.begin(), DT32F(rng.sym()));
    hist.pop_back();
    double d = 0;
    for (int k = 0; k < taps; ++k) d += double(h[k]) * double(hist[k]);
    lmslattice32fFilterUpdate(&f, hist[0], DT32F(d));
    if (n >= samples - tail) {
      errPow += double(f.err) * double(f.err);
      desPow += d * d;
    }
  }
  const double att = dB(desPow, errPow);
  EXPECT_GE(att, 30.0) << "error power " << att << " dB below the desired";
  ::testing::Test::RecordProperty("attenuationDb", std::to_string(att));
  lmslattice32fFree(&f);
}

// Textbook gradient lattice, stage by stage, with the library's rounding
// (errors carried unrounded, every stored value rounded once): the check for
// lattices long enough to span several of the library's internal chunks.
struct RefLattice {
  Vec k, b, P, w;
  double muK, muW;
  RefLattice(size_t n, double muParcor, double muCoef)
      : k(n, 0), b(n + 1, 0), P(n + 1, 1), w(n, 0), muK(muParcor),
        muW(muCoef) {}
  static DT32F power(DT32F p, double u, double v) {
    return DT32F(kKeep * double(p) + kGain * (u * u + v * v));
  }
  // Runs `stages` stages on x; returns the last forward error, leaves this
  // sample's backward errors in s.
  double stagesOf(DT32F x, size_t stages, Vec &s) {
    s.assign(stages + 1, 0);
    s[0] = x;
    P[0] = power(P[0], x, b[0]);
    double f = x;
    for (size_t m = 1; m <= stages; ++m) {
      const double km = k[m - 1], bp = b[m - 1];
      const double fNew = f - km * bp, sm = bp - km * f;
      s[m] = DT32F(sm);
      k[m - 1] = DT32F(km + muK / (double(P[m - 1]) + kReg) *
                                (fNew * bp + f * sm));
      P[m] = power(P[m], fNew, b[m]);
      f = fNew;
    }
    for (size_t i = 0; i <= stages && i < w.size(); ++i) b[i] = s[i];
    return f;
  }
};

TEST(LatticeChunks, LongLatticesMatchTheStageByStageRecursion) {
  const DT32S n = 150;
  quolmLmslattice lat;
  quolmLfpef fp;
  ASSERT_EQ(lmslattice32fInit(&lat, n, DT32F(0.003), DT32F(0.02)), 0);
  ASSERT_EQ(lfpef32fInit(&fp, n, DT32F(0.003)), 0);
  RefLattice rl(n, double(DT32F(0.003)), double(DT32F(0.02)));
  RefLattice rp(n, double(DT32F(0.003)), 0);
  Rng rng(41);
  Vec s;
  double ar = 0;
  for (int i = 0; i < 200; ++i) {
    ar = 0.7 * ar + rng.sym();
    const DT32F x = DT32F(ar), d = DT32F(rng.sym());
    // LMS lattice: N-1 stages, then the ladder.
    rl.stagesOf(x, n - 1, s);
    double y = 0;
    for (DT32S j = 0; j < n; ++j) y += double(s[j]) * double(rl.w[j]);
    const double e = double(d) - y;
    for (DT32S j = 0; j < n; ++j)
      rl.w[j] = rl.w[j] + DT32F(double(s[j]) * rl.muW * e /
                                (double(rl.P[j]) + kReg));
    ASSERT_EQ(lmslattice32fFilterUpdate(&lat, x, d), DT32F(y)) << i;
    ASSERT_EQ(lat.err, DT32F(e)) << i;
    // Forward predictor: N stages.
    const DT32F err = DT32F(rp.stagesOf(x, n, s));
    ASSERT_EQ(lfpef32fFilterUpdate(&fp, x), DT32F(double(x) - double(err)))
        << i;
    ASSERT_EQ(fp.err, err) << i;
  }
  EXPECT_EQ(vecOf(lat.parcor, n), rl.k);
  EXPECT_EQ(vecOf(lat.power, n), Vec(rl.P.begin(), rl.P.end() - 1));
  EXPECT_EQ(vecOf(lat.delayLine, n), Vec(rl.b.begin(), rl.b.end() - 1));
  EXPECT_EQ(vecOf(lat.coefs, n), rl.w);
  EXPECT_EQ(vecOf(fp.parcor, n), rp.k);
  EXPECT_EQ(vecOf(fp.power, n + 1), rp.P);
  EXPECT_EQ(vecOf(fp.delayLine, n + 1), rp.b);
  lmslattice32fFree(&lat);
  lfpef32fFree(&fp);
}

// ---------------------------------------------------------------------------
// Lattice prediction error filters

TEST(LatticePredictors, StepUpGivesTheDirectForm) {
  quolmLbpef f;
  ASSERT_EQ(lbpef32fInit(&f, 4, DT32F(0.05)), 0);
  Vec k = {DT32F(0.5), DT32F(-0.3), DT32F(0.2), DT32F(0.1)};
  ASSERT_EQ(lbpef32fSetParcor(&f, k.data(), 0, 4, 0), 4);
  lbpef32fFilterOnly(&f, DT32F(0.75));
  EXPECT_EQ(vecOf(f.parcor, 4), k);
  EXPECT_EQ(vecOf(f.coefs, 4), Vec(4, DT32F(0)));
  // x = 0 on an all-zero delay line: no gradient, so k stays.
  DT32F zeros[4] = {0, 0, 0, 0};
  ASSERT_EQ(lbpef32fSetDelayLine(&f, zeros, 0, 4, 0), 4);
  lbpef32fFilterUpdate(&f, 0);
  EXPECT_EQ(vecOf(f.parcor, 4), k);
  const double a[] = {0.69, -0.387, 0.129, 0.1};
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(f.coefs[j], a[j], 4 * kEps) << j;
  lbpef32fFree(&f);
}

TEST(LatticePredictors, OrderOne) {
  quolmLbpef bp;
  quolmLfpef fp;
  ASSERT_EQ(lbpef32fInit(&bp, 1, DT32F(0.1)), 0);
  ASSERT_EQ(lfpef32fInit(&fp, 1, DT32F(0.1)), 0);
  DT32F k0 = DT32F(0.5);
  ASSERT_EQ(lbpef32fSetParcor(&bp, &k0, 0, 1, 0), 1);
  ASSERT_EQ(lfpef32fSetParcor(&fp, &k0, 0, 1, 0), 1);
  // First call: nothing older than x, so the error is x (forward) and -k0*x
  // (backward); the backward output is -err.
  EXPECT_EQ(lfpef32fFilterUpdate(&fp, 2), DT32F(0));
  EXPECT_EQ(fp.err, DT32F(2));
  EXPECT_EQ(lbpef32fFilterUpdate(&bp, 2), DT32F(1));
  EXPECT_EQ(bp.err, DT32F(-1));
  ASSERT_EQ(fp.parcor[0], bp.parcor[0]);
  const DT32F k1 = fp.parcor[0];
  EXPECT_NE(k1, k0);
  EXPECT_EQ(fp.coefs[0], k1);
  EXPECT_EQ(bp.coefs[0], k1);
  // Second call, x = 3 after 2: forward err = 3 - k1*2 and prediction k1*2;
  // backward err = 2 - k1*3 and prediction k1*3.
  EXPECT_NEAR(lfpef32fFilterUpdate(&fp, 3), 2.0 * k1, kEps);
  EXPECT_NEAR(fp.err, 3 - 2.0 * k1, kEps);
  EXPECT_NEAR(lbpef32fFilterUpdate(&bp, 3), 3.0 * k1, 2 * kEps);
  EXPECT_NEAR(bp.err, 2 - 3.0 * k1, 2 * kEps);
  EXPECT_EQ(bp.coefs[0], bp.parcor[0]);
  lbpef32fFree(&bp);
  lfpef32fFree(&fp);
}

TEST(LatticePredictors, BackwardRingLinesUpTheSampleNStepsBack) {
  // With every reflection coefficient 0 the order-N backward error is the
  // sample N steps back, so the prediction is exactly 0 once the ring holds it.
  const DT32S n = 5;
  quolmLbpef f;
  ASSERT_EQ(lbpef32fInit(&f, n, DT32F(0.1)), 0);
  EXPECT_EQ(f.index, n);
  Rng rng(4);
  Vec xs;
  for (int i = 0; i < 40; ++i) {
    xs.push_back(DT32F(rng.sym()));
    const DT32F out = lbpef32fFilterOnly(&f, xs.back());
    const DT32F old = i >= n ? xs[size_t(i - n)] : DT32F(0);
    ASSERT_EQ(f.err, old) << "sample " << i;
    ASSERT_EQ(out, DT32F(0)) << "sample " << i;
  }
  // The ring restarts at Resize: the first output subtracts the error from 0.
  ASSERT_EQ(lbpef32fResize(&f, 3), 0);
  EXPECT_EQ(f.index, 3);
  const DT32F out = lbpef32fFilterOnly(&f, 1);
  EXPECT_EQ(f.err, xs[xs.size() - 3]);
  EXPECT_EQ(out, -f.err);
  lbpef32fFree(&f);
}

TEST(LatticePredictors, FrozenDirectFormKeepsWhatWasWritten) {
  quolmLfpef f;
  quolmLbpef g;
  ASSERT_EQ(lfpef32fInit(&f, 3, DT32F(0.05)), 0);
  ASSERT_EQ(lbpef32fInit(&g, 3, DT32F(0.05)), 0);
  Vec a = {1, 2, 3};
  ASSERT_EQ(lfpef32fSetCoef(&f, a.data(), 0, 3, 0), 3);
  ASSERT_EQ(lbpef32fSetCoef(&g, a.data(), 0, 3, 0), 3);
  f.updateCoefs = 0;
  g.updateCoefs = 0;
  Rng rng(8);
  for (int i = 0; i < 100; ++i) {
    const DT32F x = DT32F(rng.sym());
    lfpef32fFilterUpdate(&f, x);
    lbpef32fFilterUpdate(&g, x);
  }
  EXPECT_EQ(vecOf(f.coefs, 3), a);
  EXPECT_EQ(vecOf(g.coefs, 3), a);
  EXPECT_NE(f.parcor[0], DT32F(0)) << "the lattice still adapts";
  lfpef32fFree(&f);
  lbpef32fFree(&g);
}

TEST(LatticePredictors, ForwardAndBackwardTwinsShareTheirLattice) {
  quolmLfpef f;
  quolmLbpef b;
  ASSERT_EQ(lfpef32fInit(&f, 6, DT32F(0.01)), 0);
  ASSERT_EQ(lbpef32fInit(&b, 6, DT32F(0.01)), 0);
  Rng rng(21);
  double ar1 = 0;
  for (int i = 0; i < 2000; ++i) {
    ar1 = 0.8 * ar1 + rng.sym();
    const DT32F x = DT32F(ar1);
    if (i % 7 == 3) {
      lfpef32fFilterOnly(&f, x);
      lbpef32fFilterOnly(&b, x);
    } else {
      lfpef32fFilterUpdate(&f, x);
      lbpef32fFilterUpdate(&b, x);
    }
  }
  EXPECT_EQ(vecOf(f.parcor, 6), vecOf(b.parcor, 6));
  EXPECT_EQ(vecOf(f.coefs, 6), vecOf(b.coefs, 6));
  EXPECT_EQ(vecOf(f.power, 7), vecOf(b.power, 7));
  EXPECT_EQ(vecOf(f.delayLine, 7), vecOf(b.delayLine, 7));
  EXPECT_NE(f.err, b.err);
  lfpef32fFree(&f);
  lbpef32fFree(&b);
}

TEST(LatticePredictors, ForwardPredictorWhitensAnAr2Process) {
  // Poles at 0.9 e^(+-i pi/4): x(n) = a0 x(n-1) + a1 x(n-2) + v(n).
  const double a0 = 1.8 * sqrt(0.5), a1 = -0.81;
  const int samples = 20000, tail = 5000;
  quolmLfpef f;
  ASSERT_EQ(lfpef32fInit(&f, 2, DT32F(0.002)), 0);
  Rng rng(31);
  double x1 = 0, x2 = 0, errPow = 0, noisePow = 0, c0 = 0, c1 = 0;
  for (int n = 0; n < samples; ++n) {
    const double v = rng.gauss();
    const double x = a0 * x1 + a1 * x2 + v;
    x2 = x1;
    x1 = x;
    lfpef32fFilterUpdate(&f, DT32F(x));
    if (n >= samples - tail) {
      errPow += double(f.err) * double(f.err);
      noisePow += v * v;
      c0 += f.coefs[0];
      c1 += f.coefs[1];
    }
  }
  c0 /= tail;
  c1 /= tail;
  EXPECT_NEAR(c0, a0, 0.05) << "learned a = [" << c0 << ", " << c1 << "]";
  EXPECT_NEAR(c1, a1, 0.05) << "learned a = [" << c0 << ", " << c1 << "]";
  const double ratio = errPow / noisePow;
  EXPECT_NEAR(ratio, 1.0, 0.1) << "prediction-error / driving-noise power";
  ::testing::Test::RecordProperty(
      "learned", std::to_string(c0) + " " + std::to_string(c1) + " ratio " +
                     std::to_string(ratio));
  lfpef32fFree(&f);
}

TEST(LatticeHeaders, CompileAndWorkAsC99) { EXPECT_EQ(cSmokeLattice(), 0); }

}  // namespace
