// SPDX-License-Identifier: MIT
// The fuzzed calls of the lattice families: the LMS lattice, the two
// adaptive prediction-error filters and the three RLS lattices.
#ifndef QUOLM_FUZZ_LATTICECALLS32F_H
#define QUOLM_FUZZ_LATTICECALLS32F_H

#include "driver32f.h"

namespace fuzz32f {

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

}  // namespace fuzz32f

#endif
