// SPDX-License-Identifier: MIT
// The fuzzed calls of the transversal families: FIR, the LMS laws, NLMS,
// the block forms, FxLMS and the adjoint form, and RLS.
#ifndef QUOLM_FUZZ_TRANSVERSALCALLS32F_H
#define QUOLM_FUZZ_TRANSVERSALCALLS32F_H

#include "driver32f.h"

namespace fuzz32f {

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

}  // namespace fuzz32f

#endif
