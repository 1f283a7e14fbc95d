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

// Runs the input sample x through `stages` lattice stages. b[0..stages] holds
// the previous sample's backward errors and is only read; s[0..stages]
// receives this sample's; P[0..stages] are the stage powers, each updated
// before the next stage divides by it. With Adapt, stage m moves k[m-1] along
// its gradient with the step mu / (P[m-1] + eps); both error updates of a
// stage use k[m-1] as it was before that step. Returns the forward error of
// the last stage, unrounded.
template <bool Adapt>
inline Acc latticeStages(DT32F x, DT32S stages, DT32F *k, const DT32F *b,
                         DT32F *P, DT32F *s, DT32F mu) {
  s[0] = x;
  P[0] = latticePower(P[0], Acc(x), Acc(b[0]));
  Acc f = x;
  for (DT32S m = 1; m <= stages; ++m) {
    const Acc km = k[m - 1], bm = b[m - 1];
    const Acc fNew = f - km * bm;
    const Acc sm = bm - km * f;
    s[m] = DT32F(sm);
    if (Adapt)
      k[m - 1] = DT32F(km + Acc(mu) / (Acc(P[m - 1]) + Acc(kLatticeEps)) *
                                (fNew * bm + f * sm));
    P[m] = latticePower(P[m], fNew, Acc(b[m]));
    f = fNew;
  }
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
  const Acc fwd =
      latticeStages<Adapt>(x, n, f->parcor, f->delayLine, f->power, f->scratch,
                           f->mu);
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

}  // namespace quolm32f

#endif
