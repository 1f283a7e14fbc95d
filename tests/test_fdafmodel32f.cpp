// SPDX-License-Identifier: MIT
// Bit-exact models of BFDAF, PBFDAF and TDLMS: each recursion written bin by
// bin in the sample type, with double only where the library carries sums
// and step factors. They share nothing with the library but its transform,
// which test_fft32f.cpp checks against a direct spectrum; so a one-ulp change
// of an operand order or a rounding in the block or per-sample steps shows
// up here as a differing output, error or coefficient bit.
#include <string.h>

#include <deque>

#include "../src32f/fft32f.h"
#include "fdafutil32f.h"

namespace {

typedef DT32F T;

// The one call into the library's internals (compiled into this program by
// test_fft32f.cpp): direction -1 forward, +1 inverse, in place.
void transform(TableSet &t, DT32S dir, Vec &v) {
  quolm32f::realFft(DT32S(v.size()), dir, v.data(), t.w(), t.t());
}

// A spectrum as bins 0 .. M/2; DC and Nyquist are real (im unused).
struct Bin {
  T re, im;
};
typedef std::vector<Bin> Spectrum;

Spectrum unpack(const T *v, size_t M) {
  Spectrum s(M / 2 + 1);
  s[0] = {v[0], 0};
  s[M / 2] = {v[1], 0};
  for (size_t k = 1; k < M / 2; ++k) s[k] = {v[2 * k], v[2 * k + 1]};
  return s;
}

Vec pack(const Spectrum &s) {
  const size_t h = s.size() - 1;
  Vec v(2 * h);
  v[0] = s[0].re;
  v[1] = s[h].re;
  for (size_t k = 1; k < h; ++k) v[2 * k] = s[k].re, v[2 * k + 1] = s[k].im;
  return v;
}

Spectrum forward(TableSet &t, Vec v) {
  transform(t, -1, v);
  return unpack(v.data(), v.size());
}

Vec inverse(TableSet &t, const Spectrum &s) {  // M/2 times the block
  Vec v = pack(s);
  transform(t, 1, v);
  return v;
}

// a * b, real at DC and Nyquist.
Bin mul(Bin a, Bin b, bool real) {
  if (real) return {a.re * b.re, 0};
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
Bin conj(Bin a) { return {a.re, -a.im}; }
bool isReal(const Spectrum &s, size_t k) { return k == 0 || k + 1 == s.size(); }
T power(Bin a, bool real) {
  return real ? a.re * a.re : a.re * a.re + a.im * a.im;
}

// Constants of a block family as the build holds them.
struct Consts {
  T keep, gain, eps;  // smoothing factor, 1 - keep before /B, regulariser
};
// BFDAF: exact in each build; PBFDAF: single-precision values in both.
const Consts kBfdaf = {T(0.98), T(0.020000000000000018), T(1e-6)};
const Consts kPbfdaf = {T(0.98f), T(0.019999980926513672), T(1e-6f)};

// Overlap-save block filter with P partitions (BFDAF is P = 1).
struct BlockModel {
  size_t L, B, M;
  bool constrain;
  T mu, keep, gain, eps, invScale;
  TableSet &t;
  Vec saved;             // the newest M - B inputs, oldest first
  std::deque<Spectrum> X;    // X[q]: spectrum of the window q blocks ago
  std::vector<Spectrum> W;   // coefficient spectrum of each partition
  std::vector<T> pwr;    // smoothed input power per bin

  BlockModel(size_t L_, size_t B_, size_t M_, const std::vector<Spectrum> &W0,
             bool c, T mu_, Consts k, TableSet &tables)
      : L(L_), B(B_), M(M_), constrain(c), mu(mu_), keep(k.keep),
        gain(k.gain / T(B_)), eps(k.eps), invScale(T(2) / T(M_)), t(tables),
        saved(M_ - B_, T(0)), X(W0.size(), Spectrum(M_ / 2 + 1, Bin{0, 0})),
        W(W0), pwr(M_ / 2 + 1, T(1)) {}

  void block(const T *x, const T *d, T *y, T *e, bool adapt) {
    Vec win(saved);
    win.insert(win.end(), x, x + B);
    saved.assign(win.begin() + B, win.end());
    X.pop_back();
    X.push_front(forward(t, win));
    Spectrum Y(X[0].size());  // sum over p of W_p X_p
    for (size_t k = 0; k < Y.size(); ++k) {
      Y[k] = mul(W[0][k], X[0][k], isReal(Y, k));
      for (size_t p = 1; p < W.size(); ++p) {
        const Bin v = mul(W[p][k], X[p][k], isReal(Y, k));
        Y[k] = {Y[k].re + v.re, Y[k].im + v.im};
      }
    }
    const Vec out = inverse(t, Y);
    for (size_t i = 0; i < B; ++i) y[i] = invScale * out[M - B + i];
    for (size_t k = 0; k < pwr.size(); ++k)
      pwr[k] = keep * pwr[k] + gain * power(X[0][k], isReal(Y, k));
    if (!adapt) return;
    Vec ew(M - B, T(0));
    for (size_t i = 0; i < B; ++i) ew.push_back(e[i] = d[i] - y[i]);
    Spectrum E = forward(t, ew);
    for (size_t k = 0; k < E.size(); ++k) {
      const T den = eps + pwr[k];
      E[k] = {mu * (E[k].re / den), mu * (E[k].im / den)};
    }
    for (size_t p = 0; p < W.size(); ++p) {
      for (size_t k = 0; k < E.size(); ++k) {
        const Bin g = mul(E[k], conj(X[p][k]), isReal(E, k));
        W[p][k] = {W[p][k].re + g.re, W[p][k].im + g.im};
      }
      if (constrain) {
        Vec w = inverse(t, W[p]);
        for (size_t i = 0; i < M; ++i) w[i] = i < L ? invScale * w[i] : T(0);
        W[p] = forward(t, w);
      }
    }
  }
};

// Per-sample transform-domain LMS on the newest M samples.
struct TdlmsModel {
  TableSet &t;
  T mu;
  Spectrum W;
  std::deque<T> hist;  // hist[j] = x(n - j)
  std::vector<T> pwr;  // smoothed power per bin
  T err = 0;

  TdlmsModel(const Spectrum &W0, T mu_, TableSet &tables)
      : t(tables), mu(mu_), W(W0), hist(2 * (W0.size() - 1), T(0)),
        pwr(W0.size(), T(1)) {}

  T sample(T x, T d, bool adapt) {
    hist.pop_back();
    hist.push_front(x);
    const Spectrum X = forward(t, Vec(hist.begin(), hist.end()));
    const size_t last = X.size() - 1;
    double acc = 0.0;
    for (size_t k = 1; k < last; ++k)
      acc += 2.0 * (double(X[k].im) * double(W[k].im) +
                    double(X[k].re) * double(W[k].re));
    const T y = T((double(W[0].re) * double(X[0].re) + acc) +
                  double(X[last].re) * double(W[last].re));
    for (size_t k = 0; k <= last; ++k)
      pwr[k] = T(0.98f) * pwr[k] + T(0.02f) * power(X[k], isReal(X, k));
    if (!adapt) return y;
    const double e = double(d) - double(y);
    err = T(e);
    const T g = T(double(mu) * e);
    for (size_t k = 0; k <= last; ++k) {
      const double s = double(g) / (double(pwr[k]) + double(T(1e-6f)));
      W[k].re = T(double(W[k].re) + s * double(X[k].re));
      W[k].im = T(double(W[k].im) + s * double(X[k].im));
    }
    return y;
  }
};

// Every element of got has the bits of want; reports the first that does not.
void expectBits(const T *got, const Vec &want, const char *what) {
  for (size_t i = 0; i < want.size(); ++i)
    if (memcmp(&got[i], &want[i], sizeof(T)) != 0) {
      ADD_FAILURE() << what << " differs first at " << i << ": " << got[i]
                    << " instead of " << want[i];
      return;
    }
}

// The models start from the spectrum that SetCoef leaves in the record (its
// conversion is tested elsewhere); random taps make every block's output
// non-trivial from the first sample.

// Block FilterOnly in block 2, FilterUpdate otherwise.
bool adaptsIn(size_t block) { return block != 2; }

}  // namespace

TEST(FdafModel, BfdafMatchesThePlainBlockRecursionBitForBit) {
  const size_t L = 12, B = 8, M = 32, blocks = 7;
  for (DT32S constrain : {0, 1}) {
    TableSet tables(M);
    quolmBfdaf f;
    ASSERT_EQ(bfdaf32fInit(&f, L, B, T(0.05), constrain, tables.w(),
                           tables.t()), 0);
    Rng rng(81);
    Vec w0 = rng.vec(L, 0.3), x = rng.vec(B * blocks), d = rng.vec(B * blocks);
    ASSERT_EQ(bfdaf32fSetCoef(&f, w0.data(), 0, L, 0), DT32S(L));
    BlockModel m(L, B, M, {unpack(f.coefs, M)}, constrain, T(0.05), kBfdaf,
                 tables);
    Vec y(x.size()), e(x.size()), my(x.size()), me(x.size());
    for (size_t b = 0, n = 0; b < blocks; ++b, n += B) {
      if (adaptsIn(b))
        bfdaf32fFilterUpdate(&f, &x[n], &d[n], &y[n], &e[n]);
      else
        bfdaf32fFilterOnly(&f, &x[n], &y[n]);
      m.block(&x[n], &d[n], &my[n], &me[n], adaptsIn(b));
    }
    SCOPED_TRACE(constrain ? "constrained" : "unconstrained");
    expectBits(y.data(), my, "output");
    expectBits(e.data(), me, "error");
    expectBits(f.coefs, pack(m.W[0]), "coefficient spectrum");
    expectBits(f.power, m.pwr, "power");
    bfdaf32fFree(&f);
  }
}

TEST(FdafModel, PbfdafMatchesThePlainBlockRecursionBitForBit) {
  const size_t L = 8, B = 4, P = 3, M = 16, blocks = 10;
  for (DT32S constrain : {0, 1}) {
    TableSet tables(M);
    quolmPbfdaf f;
    ASSERT_EQ(pbfdaf32fInit(&f, L, B, P, T(0.05), constrain, tables.w(),
                            tables.t()), 0);
    Rng rng(82);
    Vec w0 = rng.vec(P * L, 0.3), x = rng.vec(B * blocks),
        d = rng.vec(B * blocks);
    ASSERT_EQ(pbfdaf32fSetCoef(&f, w0.data(), 0, P * L, 0), DT32S(P * L));
    std::vector<Spectrum> W0;
    for (size_t p = 0; p < P; ++p) W0.push_back(unpack(f.coefs + p * M, M));
    BlockModel m(L, B, M, W0, constrain, T(0.05), kPbfdaf, tables);
    Vec y(x.size()), e(x.size()), my(x.size()), me(x.size());
    for (size_t b = 0, n = 0; b < blocks; ++b, n += B) {
      if (adaptsIn(b))
        pbfdaf32fFilterUpdate(&f, &x[n], &d[n], &y[n], &e[n]);
      else
        pbfdaf32fFilterOnly(&f, &x[n], &y[n]);
      m.block(&x[n], &d[n], &my[n], &me[n], adaptsIn(b));
    }
    SCOPED_TRACE(constrain ? "constrained" : "unconstrained");
    expectBits(y.data(), my, "output");
    expectBits(e.data(), me, "error");
    for (size_t p = 0; p < P; ++p)
      expectBits(f.coefs + p * M, pack(m.W[p]), "coefficient spectrum");
    expectBits(f.power, m.pwr, "power");
    pbfdaf32fFree(&f);
  }
}

TEST(FdafModel, TdlmsMatchesThePlainPerSampleRecursionBitForBit) {
  const size_t L = 12, M = 16, n = 120;
  TableSet tables(M);
  quolmTdlms f;
  ASSERT_EQ(tdlms32fInit(&f, L, T(0.01), tables.w(), tables.t()), 0);
  ASSERT_EQ(size_t(f.fftSize), M);
  Rng rng(83);
  Vec h0 = rng.vec(L, 0.3), x = rng.vec(n), d = rng.vec(n);
  ASSERT_EQ(tdlms32fSetCoef(&f, h0.data(), 0, L, 0), DT32S(L));
  TdlmsModel m(unpack(f.coefs, M), T(0.01), tables);
  Vec y(n), my(n), err(n), merr(n);
  for (size_t i = 0; i < n; ++i) {
    const bool adapt = i < 40 || i >= 50;  // a stretch of FilterOnly
    y[i] = adapt ? tdlms32fFilterUpdate(&f, x[i], d[i])
                 : tdlms32fFilterOnly(&f, x[i]);
    my[i] = m.sample(x[i], d[i], adapt);
    err[i] = f.err, merr[i] = m.err;
  }
  expectBits(y.data(), my, "output");
  expectBits(err.data(), merr, "error");
  expectBits(f.coefs, pack(m.W), "weight spectrum");
  expectBits(f.power, m.pwr, "power");
  tdlms32fFree(&f);
}
