/* SPDX-License-Identifier: MIT */
// What the gradient lattice families (LMS lattice, backward and forward
// lattice predictors) have in common: the normalised-gradient stage recursion
// and, as templates over their records, the block layout, Init, Free, Reset,
// the vector copies and Resize. Each record has `length`, `parcor`, `coefs`,
// `delayLine`, `power` and `scratch`; `coefs` and `delayLine` own the two
// blocks that Init allocates.
#ifndef QUOLM_LATTICESHARED32F_H
#define QUOLM_LATTICESHARED32F_H

#include <stdlib.h>

#include "alloc32f.h"
#include "consts32f.h"
#include "kernels32f.h"
#include "quolmvector32f.h"
#include "stepup32f.h"
#include "vcopy32f.h"

namespace quolm32f {

// Folds two squared errors into a smoothed stage power.
inline DT32F latticePower(DT32F p, Acc u, Acc v) {
  return DT32F(Acc(kLatticeKeep) * Acc(p) +
               Acc(kLatticeGain) * (u * u + v * v));
}

// Stages per chunk of the stage pass (see latticeStages).
constexpr DT32S kStageChunk = 64;

// The two passes that carry the divisions of the lattice updates; both are
// built for the widest vector unit the processor offers (same results on
// every one: each value is computed by the same operations in the same order).
//
// k[j] = k[j] + mu / (P[j] + eps) * g[j] for j < n, where g[j] is the
// gradient of the stage with reflection coefficient kd[j] = k[j], previous
// backward error bd[j] and incoming and outgoing forward errors fwd[j] and
// fwd[j+1]: g = fwd[j+1] * bd[j] + fwd[j] * (bd[j] - kd[j] * fwd[j]).
void parcorSteps(DT32F *k, const Acc *kd, const Acc *bd, const Acc *fwd,
                 const DT32F *P, DT32F mu, DT32S n);

// s[i] = (b[i] * mu) * e / (P[i] + eps) for i < n: the power-normalised steps
// of a ladder.
void ladderSteps(DT32F *s, const DT32F *b, const DT32F *P, DT32F mu, Acc e,
                 DT32S n);

// Runs the input sample x through `stages` lattice stages. b[0..stages] holds
// the previous sample's backward errors and is only read; s[0..stages]
// receives this sample's; P[0..stages] are the stage powers, each updated
// before the next stage divides by it. With Adapt, stage m moves k[m-1] along
// its gradient with the step mu / (P[m-1] + eps), using k[m-1] as it was
// before that step for both error updates of the stage. With a ladder w, the
// output sum_i s[i] * w[i] (i = 0..stages) is formed on the way, in index
// order in one accumulator, so it equals the dot product of the stored errors
// with w while costing no pass of its own.
//
// The stages run in chunks. Each chunk first widens its operands in one
// vectorisable pass, then runs the error recursion (one dependent chain), and
// then, since no stage reads another stage's updated coefficient, updates
// the chunk's coefficients in a vectorisable pass of their own, which keeps
// the divisions out of the chain and lets them proceed side by side. That
// pass recomputes each stage's backward error from the same operands and so
// gets the same gradient as the stage itself.
template <bool Adapt, bool Ladder>
inline Acc latticeStages(DT32F x, DT32S stages, DT32F *__restrict k,
                         const DT32F *__restrict b, DT32F *__restrict P,
                         DT32F *__restrict s, DT32F mu,
                         const DT32F *__restrict w = nullptr,
                         Acc *ladder = nullptr) {
  s[0] = x;
  P[0] = latticePower(P[0], Acc(x), Acc(b[0]));
  Acc y = Ladder ? Acc(x) * Acc(w[0]) : 0.0;
  Acc f = x;
  // Stage m = m0 + j of a chunk reads k[m-1] = kd[j], b[m-1] = bd[j] and
  // b[m] = bd[j+1]; the forward error entering it is fwd[j], the one leaving
  // fwd[j+1].
  Acc kd[kStageChunk], bd[kStageChunk + 1], fwd[kStageChunk + 1];
  for (DT32S m0 = 1; m0 <= stages; m0 += kStageChunk) {
    const DT32S n = stages - m0 < kStageChunk ? stages - m0 + 1 : kStageChunk;
    DT32F *kc = k + m0 - 1;
    const DT32F *bc = b + m0 - 1, *Pc = P + m0 - 1;
    for (DT32S j = 0; j < n; ++j) kd[j] = kc[j];
    for (DT32S j = 0; j <= n; ++j) bd[j] = bc[j];
    fwd[0] = f;
    for (DT32S j = 0; j < n; ++j) {
      const Acc fNew = f - kd[j] * bd[j];
      const DT32F sm = s[m0 + j] = DT32F(bd[j] - kd[j] * f);
      if (Ladder) y += Acc(sm) * Acc(w[m0 + j]);
      P[m0 + j] = latticePower(P[m0 + j], fNew, bd[j + 1]);
      fwd[j + 1] = f = fNew;
    }
    if (Adapt) parcorSteps(kc, kd, bd, fwd, Pc, mu, n);
  }
  if (Ladder) *ladder = y;
  return f;
}

// One sample through a lattice predictor of order N = length (records with
// `mu` and `updateCoefs`): N stages, adapting and re-deriving the direct-form
// coefficients when Adapt, then this sample's backward errors b[0..N-1] into
// the delay line (b[N] stays 0). Returns the N-th order forward error; s[N]
// holds the N-th order backward error.
template <bool Adapt, class R>
Acc predictorStep(R *f, DT32F x) {
  const DT32S n = f->length;
  const Acc fwd = latticeStages<Adapt, false>(x, n, f->parcor, f->delayLine,
                                              f->power, f->scratch, f->mu);
  if (Adapt && f->updateCoefs) stepUp32f(f->parcor, f->coefs, n);
  copy32f(f->scratch, f->delayLine, n);
  return fwd;
}

// Sizes of a lattice record: a coefficient block of 2N values (`coefs`, then
// `parcor`) and a state block of `runs` runs of N + extra values each
// (`delayLine`, `power`, `scratch`, ...).
struct LatticeShape {
  DT32S extra;
  DT32S runs;
};

// Block sizes for order N; false when a block could not be indexed by DT32S.
inline bool latticeSizes(DT32S N, LatticeShape sh, size_t *coefLen,
                         size_t *runLen, size_t *stateLen) {
  return sizeMul(2, size_t(N), *coefLen) &&
         sizeAdd(size_t(N), size_t(sh.extra), *runLen) &&
         sizeMul(size_t(sh.runs), *runLen, *stateLen);
}

// Points the record's vectors into the two blocks, sets `length` and starts
// every power estimate at 1. The run length is N + extra.
template <class R>
void latticeLayout(R *f, DT32S N, LatticeShape sh, DT32F *coefBuf,
                   DT32F *stateBuf) {
  const DT32S run = N + sh.extra;
  f->length = N;
  f->coefs = coefBuf;
  f->parcor = coefBuf + N;
  f->delayLine = stateBuf;
  f->power = stateBuf + run;
  f->scratch = stateBuf + 2 * size_t(run);
  set32f(DT32F(1), f->power, run);
}

// Init: checks, allocates both blocks zero-filled (or -3 with nothing
// allocated), lays them out and lets setUp(f) store the family's parameters.
// A failure leaves `length` 0.
template <class R, class SetUp>
DT32S latticeInit(R *f, DT32S N, LatticeShape sh, SetUp setUp) {
  if (!f) return -1;
  f->length = 0;
  if (N < 1) return -2;
  size_t coefLen, runLen, stateLen;
  DT32F *coefBuf, *stateBuf;
  if (!latticeSizes(N, sh, &coefLen, &runLen, &stateLen) ||
      !allocPair<DT32F>(coefLen, &coefBuf, stateLen, &stateBuf))
    return -3;
  latticeLayout(f, N, sh, coefBuf, stateBuf);
  setUp(f);
  return 0;
}

// InitStatic on the caller's blocks, which are zeroed first: -1 for a null
// pointer, -2 for N < 1 or an order whose blocks DT32S cannot index.
template <class R, class SetUp>
DT32S latticeInitStatic(R *f, DT32S N, LatticeShape sh, DT32F *coefBuf,
                        DT32F *stateBuf, SetUp setUp) {
  if (!f) return -1;
  f->length = 0;
  if (!coefBuf || !stateBuf) return -1;
  size_t coefLen, runLen, stateLen;
  if (N < 1 || !latticeSizes(N, sh, &coefLen, &runLen, &stateLen)) return -2;
  zeroVector(coefBuf, DT32S(coefLen));
  zeroVector(stateBuf, DT32S(stateLen));
  latticeLayout(f, N, sh, coefBuf, stateBuf);
  setUp(f);
  return 0;
}

// Releases the two Init-made blocks and clears the whole record, so that a
// later Reset or copy reports -1 instead of touching freed memory.
template <class R>
void latticeFree(R *f) {
  if (!f) return;
  free(f->coefs);
  free(f->delayLine);
  *f = R();
}

// Zeroes the reflection and the direct-form (or ladder) coefficients.
template <class R>
DT32S latticeReset(R *f) {
  if (!f || !f->coefs || !f->parcor) return -1;
  zeroVector(f->coefs, f->length);
  zeroVector(f->parcor, f->length);
  return 0;
}

// Linear copy between one of the record's vectors (its first `length`
// values) and the caller's values.
template <Dir D, class R>
DT32S latticeCopy(R *f, DT32F *R::*vec, DT32F *values, DT32S start,
                  DT32S count, DT32S reverse) {
  if (!f) return -1;
  return copyLinear<D>(f->*vec, f->length, values, start, count, reverse);
}

// The resize plan: `init(&tmp)` builds the new record (its code is returned
// on failure, the record untouched); the leading ladder or direct-form
// coefficients, reflection coefficients and backward errors move over; the
// old blocks go and the record takes the new ones. Power estimates and
// anything else restart as Init leaves them.
template <class R, class Init>
DT32S latticeResize(R *f, DT32S N, Init init) {
  if (!f) return -1;
  if (N == f->length) return 0;
  R tmp;
  const DT32S rc = init(&tmp);
  if (rc != 0) return rc;
  const DT32S m = f->length < N ? f->length : N;
  DT32F *R::*const vecs[] = {&R::coefs, &R::parcor, &R::delayLine};
  for (DT32F *R::*vec : vecs) {
    // Only a record of length 0 (freed or failed) has nothing to carry.
    const DT32S n =
        m < 1 ? -2 : latticeCopy<Dir::Set>(&tmp, vec, f->*vec, 0, m, 0);
    if (n != m) {
      latticeFree(&tmp);
      return n;
    }
  }
  latticeFree(f);
  *f = tmp;
  return 0;
}

// Resize of a prediction filter: the new record keeps the step size and the
// updateCoefs flag.
template <class R>
DT32S predictorResize(R *f, DT32S N, DT32S (*init)(R *, DT32S, DT32F)) {
  if (!f) return -1;
  const DT32F mu = f->mu;
  const DT32S updateCoefs = f->updateCoefs;
  return latticeResize(f, N, [&](R *t) {
    const DT32S rc = init(t, N, mu);
    if (rc == 0) t->updateCoefs = updateCoefs;
    return rc;
  });
}

}  // namespace quolm32f

#endif
