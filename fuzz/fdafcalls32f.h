// SPDX-License-Identifier: MIT
// The fuzzed calls of the families on the real FFT: BFDAF, PBFDAF, TDLMS.
#ifndef QUOLM_FUZZ_FDAFCALLS32F_H
#define QUOLM_FUZZ_FDAFCALLS32F_H

#include "driver32f.h"

namespace fuzz32f {

// The FFT size of the frequency-domain families: max(2, pow2 >= v).
inline U fftSize(U v) {
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

}  // namespace fuzz32f

#endif
