// The division-bound update passes of the gradient lattice families. Each is
// compiled twice, for the baseline instruction set and for AVX, and runs in
// the widest form the processor supports. Without fused multiply-add both
// forms round every value identically, so results do not depend on the
// choice.
#include "latticeshared32f.h"

namespace quolm32f {

namespace {

__attribute__((always_inline)) inline void parcorStepsBody(
    DT32F *k, const Acc *kd, const Acc *bd, const Acc *fwd, const DT32F *P,
    DT32F mu, DT32S n) {
  for (DT32S j = 0; j < n; ++j) {
    const Acc s = bd[j] - kd[j] * fwd[j];
    const Acc g = fwd[j + 1] * bd[j] + fwd[j] * s;
    k[j] = DT32F(kd[j] + Acc(mu) / (Acc(P[j]) + Acc(kLatticeEps)) * g);
  }
}

__attribute__((always_inline)) inline void ladderStepsBody(
    DT32F *s, const DT32F *b, const DT32F *P, DT32F mu, Acc e, DT32S n) {
  for (DT32S i = 0; i < n; ++i)
    s[i] = DT32F(Acc(b[i]) * Acc(mu) * e / (Acc(P[i]) + Acc(kLatticeEps)));
}

__attribute__((target("avx"))) void parcorStepsAvx(
    DT32F *k, const Acc *kd, const Acc *bd, const Acc *fwd, const DT32F *P,
    DT32F mu, DT32S n) {
  parcorStepsBody(k, kd, bd, fwd, P, mu, n);
}

__attribute__((target("avx"))) void ladderStepsAvx(
    DT32F *s, const DT32F *b, const DT32F *P, DT32F mu, Acc e, DT32S n) {
  ladderStepsBody(s, b, P, mu, e, n);
}

}  // namespace

void parcorSteps(DT32F *k, const Acc *kd, const Acc *bd, const Acc *fwd,
                 const DT32F *P, DT32F mu, DT32S n) {
  if (__builtin_cpu_supports("avx"))
    parcorStepsAvx(k, kd, bd, fwd, P, mu, n);
  else
    parcorStepsBody(k, kd, bd, fwd, P, mu, n);
}

void ladderSteps(DT32F *s, const DT32F *b, const DT32F *P, DT32F mu, Acc e,
                 DT32S n) {
  if (__builtin_cpu_supports("avx"))
    ladderStepsAvx(s, b, P, mu, e, n);
  else
    ladderStepsBody(s, b, P, mu, e, n);
}

}  // namespace quolm32f
