/* SPDX-License-Identifier: MIT */
// What the gradient lattice families (LMS lattice, backward and forward
// lattice predictors) have in common: the normalised-gradient stage recursion
// and, as templates over their records, the block layout, Init, Free, Reset
// and Resize. Each record has `length`, `parcor`, `coefs`,
// `delayLine`, `power` and `scratch`; `coefs` and `delayLine` own the two
// blocks that Init allocates. Namespace latticegrad; the RLS lattices have
// theirs (latticerls32f.h).
#ifndef QUOLM_LATTICEGRAD32F_H
#define QUOLM_LATTICEGRAD32F_H

#include <stdlib.h>

#include "alloc32f.h"
#include "consts32f.h"
#include "kernels32f.h"
#include "quolmvector32f.h"
#include "resize32f.h"
#include "stepup32f.h"
#include "vcopy32f.h"

namespace quolm32f::latticegrad {

// Folds two squared errors into a smoothed stage power.
inline DT32F stagePower(DT32F p, Acc u, Acc v) {
  return DT32F(Acc(kLatticeKeep) * Acc(p) +
               Acc(kLatticeGain) * (u * u + v * v));
}

// Stages per chunk of the stage pass (see runStages).
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
inline Acc runStages(DT32F x, DT32S stages, DT32F *__restrict k,
                     const DT32F *__restrict b, DT32F *__restrict P,
                     DT32F *__restrict s, DT32F mu,
                     const DT32F *__restrict w = nullptr,
                     Acc *ladder = nullptr) {
  s[0] = x;
  P[0] = stagePower(P[0], Acc(x), Acc(b[0]));
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
      P[m0 + j] = stagePower(P[m0 + j], fNew, bd[j + 1]);
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
  const Acc fwd = runStages<Adapt, false>(x, n, f->parcor, f->delayLine,
                                          f->power, f->scratch, f->mu);
  if (Adapt && f->updateCoefs) stepUp(f->parcor, f->coefs, n);
  copyVector(f->scratch, f->delayLine, n);
  return fwd;
}

// Sizes of a lattice record: a coefficient block of 2N values (`coefs`, then
// `parcor`) and a state block of `runs` runs of N + extra values each
// (`delayLine`, `power`, `scratch`, then the family's own).
struct Shape {
  DT32S extra;
  DT32S runs;
};

constexpr DT32S kSharedRuns = 3;  // delayLine, power, scratch
// The joint estimator's N - 1 stages give N backward errors; a predictor's N
// stages give N + 1, and the backward predictor adds its input ring.
constexpr Shape kJointShape = {/*extra=*/0, /*runs=*/kSharedRuns};
constexpr Shape kForwardShape = {/*extra=*/1, /*runs=*/kSharedRuns};
constexpr Shape kBackwardShape = {/*extra=*/1, /*runs=*/kSharedRuns + 1};

// Block sizes for order N; false when a block could not be indexed by DT32S.
inline bool blockSizes(DT32S N, Shape sh, size_t *coefLen, size_t *runLen,
                       size_t *stateLen) {
  return sizeMul(2, size_t(N), *coefLen) &&
         sizeAdd(size_t(N), size_t(sh.extra), *runLen) &&
         sizeMul(size_t(sh.runs), *runLen, *stateLen);
}

// Points the record's vectors into the two blocks, sets `length` and starts
// every power estimate at 1. The run length is N + extra.
template <class R>
void layout(R *f, DT32S N, Shape sh, DT32F *coefBuf, DT32F *stateBuf) {
  const DT32S run = N + sh.extra;
  f->length = N;
  f->coefs = coefBuf;
  f->parcor = coefBuf + N;
  f->delayLine = stateBuf;
  f->power = stateBuf + run;
  f->scratch = stateBuf + 2 * size_t(run);
  set32f(DT32F(1), f->power, run);
}

// Init, or InitStatic on the caller's blocks (callerBuffers): checks, the
// blocks (allocated or zeroed) and the layout; the family's set-up follows
// on 0. An order whose blocks DT32S cannot index gives -3, or -2 for
// InitStatic, which allocates nothing. A failure leaves `length` 0.
template <class R>
DT32S init(R *f, DT32S N, Shape sh, bool callerBuffers = false,
           DT32F *coefBuf = nullptr, DT32F *stateBuf = nullptr) {
  if (!f) return -1;
  f->length = 0;
  if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
  if (N < 1) return -2;
  size_t coefLen, runLen, stateLen;
  if (!blockSizes(N, sh, &coefLen, &runLen, &stateLen))
    return callerBuffers ? -2 : -3;
  if (!takeBlocks(callerBuffers, coefLen, coefBuf, stateLen, stateBuf))
    return -3;
  layout(f, N, sh, coefBuf, stateBuf);
  return 0;
}

// Releases the two Init-made blocks and clears the whole record, so that a
// later Reset or copy reports -1 instead of touching freed memory.
template <class R>
void release(R *f) {
  if (!f) return;
  ::free(f->coefs);
  ::free(f->delayLine);
  *f = R();
}

// Zeroes the reflection and the direct-form (or ladder) coefficients.
template <class R>
DT32S reset(R *f) {
  if (!f || !f->coefs || !f->parcor) return -1;
  zeroVector(f->coefs, f->length);
  zeroVector(f->parcor, f->length);
  return 0;
}

// Resize with `init(&tmp)` building the new record: the leading ladder or
// direct-form coefficients, reflection coefficients and backward errors move
// over. Power estimates and anything else restart as Init leaves them.
template <class R, class Init>
DT32S resize(R *f, DT32S N, Init init) {
  if (!f) return -1;
  if (N == f->length) return 0;
  auto carry = [](R *from, R *to) -> DT32S {
    // Only a record of length 0 (freed or failed) has nothing to carry.
    DT32S rc = from->length < 1 ? -2 : 0;
    DT32F *R::*const vecs[] = {&R::coefs, &R::parcor, &R::delayLine};
    for (DT32F *R::*vec : vecs)
      if (rc == 0) rc = carryLeading(from, to, vec);
    return rc;
  };
  return resizeWith(f, init, carry, release<R>);
}

// Resize of a prediction filter: the new record keeps the step size and the
// updateCoefs flag.
template <class R>
DT32S resizePredictor(R *f, DT32S N, DT32S (*init)(R *, DT32S, DT32F)) {
  return resize(f, N, [&](R *t) {  // f stays as it is until the swap
    const DT32S rc = init(t, N, f->mu);
    if (rc == 0) t->updateCoefs = f->updateCoefs;
    return rc;
  });
}

}  // namespace quolm32f::latticegrad

#endif
