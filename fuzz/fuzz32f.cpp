// SPDX-License-Identifier: MIT
// libFuzzer target: the first byte picks a family, the rest drives one
// record of it through driver32f.h. Built with clang, ASan and UBSan.
#include "driver32f.h"

namespace fuzz32f {
namespace {

typedef unsigned long long U;
U n(DT32S v) { return v < 0 ? 0 : U(v); }  // a size as the formulas use it

// A caller array of `len` values that outlives the record (null when huge).
DT32F *callerArray(Ctx &c, DT32S len) {
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

const Family<quolmFir> kFir = {
    [](quolmFir &r, Ctx &c) { const DT32S N = c.size();
      return fir32fInit(&r, N, callerArray(c, N)); },
    [](quolmFir &r, Ctx &c) { const DT32S N = c.size();
      DT32F *coefs = callerArray(c, N);
      const bool ok = c.blocks(0, n(N));
      return fir32fInitStatic(&r, N, coefs, c.state(ok)); },
    [](quolmFir &r, Ctx &c) {  // growing zeroes the caller's array's tail
      const DT32S N = c.size();
      if (N > r.length && r.coefs && n(N) <= kMaxValues) {
        Vec grown(r.coefs, r.coefs + r.length);
        grown.resize(n(N));
        c.kept.push_back(grown);
        r.coefs = c.kept.back().data();
      }
      return fir32fResize(&r, N); },
    {fir32fGetCoef, fir32fSetCoef, fir32fGetDelayLine, fir32fSetDelayLine},
    {fir32fResetDelayLine},
    fir32fFree,
    {[](quolmFir &r, Ctx &c) { fir32fFilter(&r, c.value()); },
     [](quolmFir &r, Ctx &) { fir32fLCFilter(&r); },
     [](quolmFir &r, Ctx &c) {
       const DT32S len = c.in.ConsumeIntegralInRange(0, 300);
       Vec x(size_t(len) + 1), y(x.size());
       for (DT32F &v : x) v = c.value();
       const DT32S rc = fir32fBlockFilter(&r, x.data(), y.data(), len);
       expect(rc == 0, "fir32fBlockFilter", rc); }},
};

const Family<quolmLms> kLms = {
    [](quolmLms &r, Ctx &c) { return lms32fInit(&r, c.size(), c.value()); },
    [](quolmLms &r, Ctx &c) { const DT32S N = c.size();
      const bool ok = c.blocks(n(N), n(N));
      return lms32fInitStatic(&r, N, c.value(), c.coefs(ok), c.state(ok)); },
    [](quolmLms &r, Ctx &c) { return lms32fResize(&r, c.size()); },
    {lms32fGetCoef, lms32fSetCoef, lms32fGetDelayLine, lms32fSetDelayLine},
    {lms32fReset, lms32fResetDelayLine},
    lms32fFree,
    {[](quolmLms &r, Ctx &c) { lms32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fFilterUpdateSignErr(&r, c.value(), c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fFilterUpdateSignReg(&r, c.value(), c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fFilterUpdateSignSign(&r, c.value(), c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fFilterOnly(&r, c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fLCFilterUpdate(&r, c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fLCFilterUpdateSignErr(&r, c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fLCFilterUpdateSignReg(&r, c.value()); },
     [](quolmLms &r, Ctx &c) { lms32fLCFilterUpdateSignSign(&r, c.value()); },
     [](quolmLms &r, Ctx &) { lms32fLCFilterOnly(&r); }},
};

const Family<quolmNlms> kNlms = {
    [](quolmNlms &r, Ctx &c) { return nlms32fInit(&r, c.size(), c.value()); },
    [](quolmNlms &r, Ctx &c) { const DT32S N = c.size();
      const bool ok = c.blocks(n(N), n(N));
      return nlms32fInitStatic(&r, N, c.value(), c.coefs(ok), c.state(ok)); },
    [](quolmNlms &r, Ctx &c) { return nlms32fResize(&r, c.size()); },
    {nlms32fGetCoef, nlms32fSetCoef, nlms32fGetDelayLine, nlms32fSetDelayLine},
    {nlms32fReset, nlms32fResetDelayLine},
    nlms32fFree,
    {[](quolmNlms &r, Ctx &c) { nlms32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmNlms &r, Ctx &c) { nlms32fFilterOnly(&r, c.value()); },
     [](quolmNlms &r, Ctx &c) { nlms32fLCFilterUpdate(&r, c.value()); },
     [](quolmNlms &r, Ctx &) { nlms32fLCFilterOnly(&r); }},
};

const Family<quolmBlms> kBlms = {
    [](quolmBlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      return blms32fInit(&r, N, B, c.value()); },
    [](quolmBlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      const bool ok = c.blocks(n(N), n(N));
      return blms32fInitStatic(&r, N, B, c.value(), c.coefs(ok), c.state(ok)); },
    [](quolmBlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      return blms32fResize(&r, N, B); },
    {blms32fGetCoef, blms32fSetCoef, blms32fGetDelayLine, blms32fSetDelayLine},
    {blms32fReset, blms32fResetDelayLine},
    blms32fFree,
    {[](quolmBlms &r, Ctx &c) { block(r, c, blms32fFilterUpdate); },
     [](quolmBlms &r, Ctx &c) { block(r, c, blms32fFilterUpdateSignErr); },
     [](quolmBlms &r, Ctx &c) { block(r, c, blms32fFilterUpdateSignReg); },
     [](quolmBlms &r, Ctx &c) { block(r, c, blms32fFilterUpdateSignSign); },
     [](quolmBlms &r, Ctx &c) { block(r, c, [](quolmBlms *f, const DT32F *x,
         const DT32F *, DT32F *y, DT32F *) { return blms32fFilterOnly(f, x, y); }); }},
};

const Family<quolmBnlms> kBnlms = {
    [](quolmBnlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      return bnlms32fInit(&r, N, B, c.value()); },
    [](quolmBnlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      const bool ok = c.blocks(n(N), n(N));
      return bnlms32fInitStatic(&r, N, B, c.value(), c.coefs(ok), c.state(ok)); },
    [](quolmBnlms &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      return bnlms32fResize(&r, N, B); },
    {bnlms32fGetCoef, bnlms32fSetCoef, bnlms32fGetDelayLine, bnlms32fSetDelayLine},
    {bnlms32fReset, bnlms32fResetDelayLine},
    bnlms32fFree,
    {[](quolmBnlms &r, Ctx &c) { block(r, c, bnlms32fFilterUpdate); },
     [](quolmBnlms &r, Ctx &c) { block(r, c, [](quolmBnlms *f, const DT32F *x,
         const DT32F *, DT32F *y, DT32F *) { return bnlms32fFilterOnly(f, x, y); }); }},
};

// FxLMS and the adjoint form: the same calls, different state sizes.
template <class R>
Family<R> secondaryPath(
    DT32S (*init)(R *, DT32S, DT32F, DT32F *, DT32S, DT32F *, DT32S),
    DT32S (*initStatic)(R *, DT32S, DT32F, DT32F *, DT32S, DT32F *, DT32S,
                        DT32F *, DT32F *),
    U (*stateLen)(U N, U secLength, U modelLength),
    DT32S (*resize)(R *, DT32S), Copy<R> getCoef, Copy<R> setCoef,
    Copy<R> getLine, Copy<R> setLine, DT32S (*reset)(R *),
    DT32S (*resetLine)(R *), void (*release)(R *),
    DT32F (*update)(R *, DT32F, DT32F), DT32F (*only)(R *, DT32F)) {
  return {
      [init](R &r, Ctx &c) {
        const DT32S N = c.size(), Ns = c.size(), Nm = c.size();
        return init(&r, N, c.value(), callerArray(c, Ns), Ns,
                    callerArray(c, Nm), Nm); },
      [initStatic, stateLen](R &r, Ctx &c) {
        const DT32S N = c.size(), Ns = c.size(), Nm = c.size();
        DT32F *path = callerArray(c, Ns), *model = callerArray(c, Nm);
        const bool ok = c.blocks(n(N), stateLen(n(N), n(Ns), n(Nm)));
        return initStatic(&r, N, c.value(), path, Ns, model, Nm, c.coefs(ok),
                          c.state(ok)); },
      [resize](R &r, Ctx &c) { return resize(&r, c.size()); },
      {getCoef, setCoef, getLine, setLine},
      {reset, resetLine},
      release,
      {[update](R &r, Ctx &c) { update(&r, c.value(), c.value()); },
       [only](R &r, Ctx &c) { only(&r, c.value()); }},
  };
}

const Family<quolmFxlms> kFxlms = secondaryPath<quolmFxlms>(
    fxlms32fInit, fxlms32fInitStatic,
    [](U N, U Ns, U Nm) { return Ns + N + (N > Nm ? N : Nm); },
    fxlms32fResize, fxlms32fGetCoef, fxlms32fSetCoef, fxlms32fGetDelayLine,
    fxlms32fSetDelayLine, fxlms32fReset, fxlms32fResetDelayLine, fxlms32fFree,
    fxlms32fFilterUpdate, fxlms32fFilterOnly);

const Family<quolmAdjlms> kAdjlms = secondaryPath<quolmAdjlms>(
    adjlms32fInit, adjlms32fInitStatic,
    [](U N, U Ns, U Nm) { return N + 2 * Nm + (Ns > 0 ? Ns - 1 : 0); },
    adjlms32fResize, adjlms32fGetCoef, adjlms32fSetCoef, adjlms32fGetDelayLine,
    adjlms32fSetDelayLine, adjlms32fReset, adjlms32fResetDelayLine,
    adjlms32fFree, adjlms32fFilterUpdate, adjlms32fFilterOnly);

// The FFT size of the frequency-domain families: max(2, pow2 >= v).
U fftSize(U v) {
  U m = 2;
  while (m < v && m < (U(1) << 40)) m *= 2;
  return m;
}

const Family<quolmBfdaf> kBfdaf = {
    [](quolmBfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      c.tables();
      return bfdaf32fInit(&r, N, B, c.value(), c.in.ConsumeBool(),
                          c.fftWork.data(), c.fftTable.data()); },
    [](quolmBfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      c.tables();
      const U M = fftSize(n(N) + n(B)), bins = M / 2 + 1;
      const bool ok = c.blocks(M, (M > n(B) ? M - n(B) : 0) + 2 * M + 2 * bins);
      return bfdaf32fInitStatic(&r, N, B, c.value(), c.in.ConsumeBool(),
                                c.coefs(ok), c.state(ok), c.fftWork.data(),
                                c.fftTable.data()); },
    [](quolmBfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size();
      return bfdaf32fResize(&r, N, B); },
    {bfdaf32fGetCoef, bfdaf32fSetCoef},
    {bfdaf32fReset, bfdaf32fResetDelayLine},
    bfdaf32fFree,
    {[](quolmBfdaf &r, Ctx &c) { block(r, c, bfdaf32fFilterUpdate); },
     [](quolmBfdaf &r, Ctx &c) { block(r, c, [](quolmBfdaf *f, DT32F *x,
         DT32F *, DT32F *y, DT32F *) { return bfdaf32fFilterOnly(f, x, y); }); }},
};

const Family<quolmPbfdaf> kPbfdaf = {
    [](quolmPbfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size(), P = c.size();
      c.tables();
      return pbfdaf32fInit(&r, N, B, P, c.value(), c.in.ConsumeBool(),
                           c.fftWork.data(), c.fftTable.data()); },
    [](quolmPbfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size(), P = c.size();
      c.tables();
      const U M = fftSize(n(N) + n(B)), p = n(P);
      const bool ok = p < kMaxValues &&
          c.blocks(p * M, (M > n(B) ? M - n(B) : 0) + (p + 2) * M + M / 2 + 1);
      return pbfdaf32fInitStatic(&r, N, B, P, c.value(), c.in.ConsumeBool(),
                                 c.coefs(ok), c.state(ok), c.fftWork.data(),
                                 c.fftTable.data()); },
    [](quolmPbfdaf &r, Ctx &c) {
      const DT32S N = c.size(), B = c.size(), P = c.size();
      return pbfdaf32fResize(&r, N, B, P); },
    {pbfdaf32fGetCoef, pbfdaf32fSetCoef},
    {pbfdaf32fReset, pbfdaf32fResetDelayLine},
    pbfdaf32fFree,
    {[](quolmPbfdaf &r, Ctx &c) { block(r, c, pbfdaf32fFilterUpdate); },
     [](quolmPbfdaf &r, Ctx &c) { block(r, c, [](quolmPbfdaf *f, DT32F *x,
         DT32F *, DT32F *y, DT32F *) { return pbfdaf32fFilterOnly(f, x, y); }); }},
};

const Family<quolmTdlms> kTdlms = {
    [](quolmTdlms &r, Ctx &c) {
      const DT32S N = c.size();
      c.tables();
      return tdlms32fInit(&r, N, c.value(), c.fftWork.data(), c.fftTable.data()); },
    [](quolmTdlms &r, Ctx &c) {
      const DT32S N = c.size();
      c.tables();
      const U M = fftSize(n(N));
      const bool ok = c.blocks(M, 2 * M + 2 * (M / 2 + 1));
      return tdlms32fInitStatic(&r, N, c.value(), c.coefs(ok), c.state(ok),
                                c.fftWork.data(), c.fftTable.data()); },
    [](quolmTdlms &r, Ctx &c) { return tdlms32fResize(&r, c.size()); },
    {tdlms32fGetCoef, tdlms32fSetCoef, tdlms32fGetDelayLine, tdlms32fSetDelayLine},
    {tdlms32fReset, tdlms32fResetDelayLine},
    tdlms32fFree,
    {[](quolmTdlms &r, Ctx &c) { tdlms32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmTdlms &r, Ctx &c) { tdlms32fFilterOnly(&r, c.value()); },
     [](quolmTdlms &r, Ctx &c) { tdlms32fLCFilterUpdate(&r, c.value()); },
     [](quolmTdlms &r, Ctx &) { tdlms32fLCFilterOnly(&r); }},
};

const Family<quolmRls> kRls = {
    [](quolmRls &r, Ctx &c) { const DT32S N = c.size();
      return rls32fInit(&r, N, c.value(), c.value()); },
    [](quolmRls &r, Ctx &c) { const DT32S N = c.size();
      const bool ok = c.blocks(n(N), n(N) * (n(N) + 1) / 2 + 2 * n(N));
      return rls32fInitStatic(&r, N, c.value(), c.value(), c.coefs(ok),
                              c.state(ok)); },
    [](quolmRls &r, Ctx &c) { return rls32fResize(&r, c.size()); },
    {rls32fGetCoef, rls32fSetCoef, rls32fGetDelayLine, rls32fSetDelayLine},
    {rls32fReset, rls32fResetDelayLine},
    rls32fFree,
    {[](quolmRls &r, Ctx &c) { rls32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmRls &r, Ctx &c) { rls32fFilterOnly(&r, c.value()); },
     [](quolmRls &r, Ctx &c) { rls32fLCFilterUpdate(&r, c.value()); },
     [](quolmRls &r, Ctx &) { rls32fLCFilterOnly(&r); }},
};

// The four prediction-error filters: Init(N, one parameter), input only.
template <class R>
Family<R> predictor(DT32S (*init)(R *, DT32S, DT32F),
                    DT32S (*initStatic)(R *, DT32S, DT32F, DT32F *, DT32F *),
                    U coefsPerOrder, U (*stateLen)(U N),
                    DT32S (*resize)(R *, DT32S), std::vector<Copy<R>> copies,
                    DT32S (*reset)(R *), void (*release)(R *),
                    DT32F (*update)(R *, DT32F), DT32F (*only)(R *, DT32F)) {
  return {
      [init](R &r, Ctx &c) { const DT32S N = c.size();
        return init(&r, N, c.value()); },
      [initStatic, coefsPerOrder, stateLen](R &r, Ctx &c) {
        const DT32S N = c.size();
        const bool ok = c.blocks(coefsPerOrder * n(N), stateLen(n(N)));
        return initStatic(&r, N, c.value(), c.coefs(ok), c.state(ok)); },
      [resize](R &r, Ctx &c) { return resize(&r, c.size()); },
      copies,
      {reset},
      release,
      {[update](R &r, Ctx &c) { update(&r, c.value()); },
       [only](R &r, Ctx &c) { only(&r, c.value()); },
       [](R &r, Ctx &c) { r.updateCoefs = c.in.ConsumeBool(); }},
  };
}

const Family<quolmLfpef> kLfpef = predictor<quolmLfpef>(
    lfpef32fInit, lfpef32fInitStatic, 2, [](U N) { return 3 * (N + 1); },
    lfpef32fResize,
    {lfpef32fGetCoef, lfpef32fSetCoef, lfpef32fGetParcor, lfpef32fSetParcor,
     lfpef32fGetDelayLine, lfpef32fSetDelayLine},
    lfpef32fReset, lfpef32fFree, lfpef32fFilterUpdate, lfpef32fFilterOnly);

const Family<quolmLbpef> kLbpef = predictor<quolmLbpef>(
    lbpef32fInit, lbpef32fInitStatic, 2, [](U N) { return 4 * (N + 1); },
    lbpef32fResize,
    {lbpef32fGetCoef, lbpef32fSetCoef, lbpef32fGetParcor, lbpef32fSetParcor,
     lbpef32fGetDelayLine, lbpef32fSetDelayLine},
    lbpef32fReset, lbpef32fFree, lbpef32fFilterUpdate, lbpef32fFilterOnly);

const Family<quolmRlslfpef> kRlslfpef = predictor<quolmRlslfpef>(
    rlslfpef32fInit, rlslfpef32fInitStatic, 3, [](U N) { return 5 * N; },
    rlslfpef32fResize,
    {rlslfpef32fGetCoef, rlslfpef32fGetForwardParcors,
     rlslfpef32fGetBackwardParcors, rlslfpef32fGetDelayLine,
     rlslfpef32fSetDelayLine},
    rlslfpef32fReset, rlslfpef32fFree, rlslfpef32fFilterUpdate,
    rlslfpef32fFilterOnly);

const Family<quolmRlslbpef> kRlslbpef = predictor<quolmRlslbpef>(
    rlslbpef32fInit, rlslbpef32fInitStatic, 3, [](U N) { return 6 * N + 1; },
    rlslbpef32fResize,
    {rlslbpef32fGetCoef, rlslbpef32fGetForwardParcors,
     rlslbpef32fGetBackwardParcors, rlslbpef32fGetDelayLine,
     rlslbpef32fSetDelayLine},
    rlslbpef32fReset, rlslbpef32fFree, rlslbpef32fFilterUpdate,
    rlslbpef32fFilterOnly);

const Family<quolmLmslattice> kLmslattice = {
    [](quolmLmslattice &r, Ctx &c) { const DT32S N = c.size();
      return lmslattice32fInit(&r, N, c.value(), c.value()); },
    [](quolmLmslattice &r, Ctx &c) { const DT32S N = c.size();
      const bool ok = c.blocks(2 * n(N), 3 * n(N));
      return lmslattice32fInitStatic(&r, N, c.value(), c.value(), c.coefs(ok),
                                     c.state(ok)); },
    [](quolmLmslattice &r, Ctx &c) { return lmslattice32fResize(&r, c.size()); },
    {lmslattice32fGetCoef, lmslattice32fSetCoef, lmslattice32fGetParcor,
     lmslattice32fSetParcor, lmslattice32fGetDelayLine,
     lmslattice32fSetDelayLine},
    {lmslattice32fReset},
    lmslattice32fFree,
    {[](quolmLmslattice &r, Ctx &c) {
       lmslattice32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmLmslattice &r, Ctx &c) { lmslattice32fFilterOnly(&r, c.value()); },
     [](quolmLmslattice &r, Ctx &c) { r.adaptParcor = c.in.ConsumeBool(); }},
};

const Family<quolmRlslattice> kRlslattice = {
    [](quolmRlslattice &r, Ctx &c) { const DT32S N = c.size();
      return rlslattice32fInit(&r, N, c.value()); },
    [](quolmRlslattice &r, Ctx &c) { const DT32S N = c.size();
      const bool ok = c.blocks(3 * n(N), 6 * n(N));
      return rlslattice32fInitStatic(&r, N, c.value(), c.coefs(ok),
                                     c.state(ok)); },
    [](quolmRlslattice &r, Ctx &c) { return rlslattice32fResize(&r, c.size()); },
    {rlslattice32fGetCoef, rlslattice32fGetForwardParcors,
     rlslattice32fGetBackwardParcors, rlslattice32fGetDelayLine,
     rlslattice32fSetDelayLine},
    {rlslattice32fReset},
    rlslattice32fFree,
    {[](quolmRlslattice &r, Ctx &c) {
       rlslattice32fFilterUpdate(&r, c.value(), c.value()); },
     [](quolmRlslattice &r, Ctx &c) { rlslattice32fFilterOnly(&r, c.value()); }},
};

}  // namespace
}  // namespace fuzz32f

// Huge sizes must end in the library's allocation-failure code, not in an
// exhausted machine: allocations above kMaxValues doubles fail.
extern "C" const char *__asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace fuzz32f;
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 16)) {
    case 0: run(kFir, in); break;
    case 1: run(kLms, in); break;
    case 2: run(kNlms, in); break;
    case 3: run(kBlms, in); break;
    case 4: run(kBnlms, in); break;
    case 5: run(kFxlms, in); break;
    case 6: run(kAdjlms, in); break;
    case 7: run(kBfdaf, in); break;
    case 8: run(kPbfdaf, in); break;
    case 9: run(kTdlms, in); break;
    case 10: run(kLmslattice, in); break;
    case 11: run(kLfpef, in); break;
    case 12: run(kLbpef, in); break;
    case 13: run(kRls, in); break;
    case 14: run(kRlslattice, in); break;
    case 15: run(kRlslfpef, in); break;
    default: run(kRlslbpef, in); break;
  }
  return 0;
}
