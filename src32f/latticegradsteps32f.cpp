// SPDX-License-Identifier: MIT
// The division-bound update passes of the gradient lattice families, also
// built for AVX2 (see QUOLM_WIDE_CLONES).
#include "latticegrad32f.h"

namespace quolm32f::latticegrad {

namespace {

QUOLM_WIDE_CLONES void parcorStepsWide(DT32F *k, const Acc *kd, const Acc *bd,
                                       const Acc *fwd, const DT32F *P, DT32F mu,
                                       DT32S n) {
  for (DT32S j = 0; j < n; ++j) {
    const Acc s = bd[j] - kd[j] * fwd[j];
    const Acc g = fwd[j + 1] * bd[j] + fwd[j] * s;
    k[j] = DT32F(kd[j] + Acc(mu) / (Acc(P[j]) + Acc(kLatticeEps)) * g);
  }
}

QUOLM_WIDE_CLONES void ladderStepsWide(DT32F *s, const DT32F *b, const DT32F *P,
                                       DT32F mu, Acc e, DT32S n) {
  for (DT32S i = 0; i < n; ++i)
    s[i] = DT32F(Acc(b[i]) * Acc(mu) * e / (Acc(P[i]) + Acc(kLatticeEps)));
}

}  // namespace

void parcorSteps(DT32F *k, const Acc *kd, const Acc *bd, const Acc *fwd,
                 const DT32F *P, DT32F mu, DT32S n) {
  parcorStepsWide(k, kd, bd, fwd, P, mu, n);
}

void ladderSteps(DT32F *s, const DT32F *b, const DT32F *P, DT32F mu, Acc e,
                 DT32S n) {
  ladderStepsWide(s, b, P, mu, e, n);
}

}  // namespace quolm32f::latticegrad
