/* SPDX-License-Identifier: MIT */
// What the three RLS lattice families share: the least-squares stage
// recursion and, over any of their records, set-up, reset, release and
// resize. The joint estimator's record is told apart by its `jointCorr`
// (ladder) vector, the backward predictor's by its input ring `delayedInput`.
// Namespace latticerls; the gradient lattices have theirs (latticegrad32f.h).
#ifndef QUOLM_LATTICERLS32F_H
#define QUOLM_LATTICERLS32F_H

#include <stdlib.h>

#include <limits>
#include <type_traits>

#include "alloc32f.h"
#include "consts32f.h"
#include "kernels32f.h"
#include "resize32f.h"
#include "vcopy32f.h"

namespace quolm32f::latticerls {

template <class R, class = void>
struct HasLadder : std::false_type {};
template <class R>
struct HasLadder<R, std::void_t<decltype(&R::jointCorr)>> : std::true_type {};
template <class R, class = void>
struct HasRing : std::false_type {};
template <class R>
struct HasRing<R, std::void_t<decltype(&R::delayedInput)>> : std::true_type {};

// Calls fn with a member pointer to each per-stage vector of the record type.
template <class R, class Fn>
void forEachStageVector(Fn fn) {
  fn(&R::fwdPower);
  fn(&R::bwdPower);
  fn(&R::crossCorr);
  if constexpr (HasLadder<R>::value) fn(&R::jointCorr);
  fn(&R::convFactor);
  fn(&R::delayLine);
  fn(&R::fwdParcor);
  fn(&R::bwdParcor);
  fn(&R::coefs);
}

constexpr size_t kCoefVectors = 3;  // coefs, bwdParcor, fwdParcor
// delayLine, bwdPower, convFactor, crossCorr, fwdPower; the ladder adds one
constexpr size_t kStageVectors = 5;

// Values in the state block of an N-stage record: five per-stage vectors, the
// ladder correlations and the N+1 input-ring samples where the record has them.
template <class R>
bool stateBlockSize(DT32S N, size_t &out) {
  const size_t vectors = kStageVectors + (HasLadder<R>::value ? 1 : 0);
  return sizeMul(vectors, size_t(N), out) &&
         (!HasRing<R>::value || sizeAdd(out, size_t(N) + 1, out));
}

// Points the vectors into the two blocks: coefs, bwdParcor, fwdParcor in the
// coefficient block; delayLine, bwdPower, (jointCorr,) convFactor, crossCorr,
// fwdPower (, delayedInput) in the state block.
template <class R>
void pointIntoBlocks(R *r, DT32S N, DT32F *coefBlock, DT32F *stateBlock) {
  r->coefs = coefBlock;
  r->bwdParcor = coefBlock + N;
  r->fwdParcor = coefBlock + 2 * size_t(N);
  DT32F *s = stateBlock;
  r->delayLine = s;
  r->bwdPower = s += N;
  if constexpr (HasLadder<R>::value) r->jointCorr = s += N;
  r->convFactor = s += N;
  r->crossCorr = s += N;
  r->fwdPower = s += N;
  if constexpr (HasRing<R>::value) r->delayedInput = s + N;
}

// Powers 0.001, conversion factors 1.0, everything else (the input ring
// included) 0.
template <class R>
void writeStartValues(R *r) {
  const DT32S n = r->length;
  forEachStageVector<R>([&](DT32F *R::*v) { zeroVector(r->*v, n); });
  if constexpr (HasRing<R>::value) zeroVector(r->delayedInput, n + 1);
  for (DT32S m = 0; m < n; ++m) {
    r->fwdPower[m] = kRlsLatPowerStart;
    r->bwdPower[m] = kRlsLatPowerStart;
    r->convFactor[m] = kRlsLatConvStart;
  }
}

template <class R>
void setUpRecord(R *r, DT32S N, DT32F lambda, DT32F *coefBlock,
                 DT32F *stateBlock) {
  r->length = N;
  r->lambda = lambda;
  if constexpr (!HasLadder<R>::value) r->updateCoefs = 1;  // the predictors
  if constexpr (HasRing<R>::value) r->index = N;
  pointIntoBlocks(r, N, coefBlock, stateBlock);
  writeStartValues(r);
}

// Init, or InitStatic on the caller's blocks (callerBuffers, pointers checked
// before the length): -1 for a null record or block, -2 for N < 1, -3 when a
// block cannot be sized or allocated; length 0 on failure.
template <class R>
DT32S init(R *r, DT32S N, DT32F lambda, bool callerBuffers = false,
           DT32F *coefBuf = nullptr, DT32F *stateBuf = nullptr) {
  if (!r) return -1;
  r->length = 0;
  if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
  if (N < 1) return -2;
  size_t coefLen, stateLen;
  if (!callerBuffers &&
      (!sizeMul(kCoefVectors, size_t(N), coefLen) ||
       !stateBlockSize<R>(N, stateLen) ||
       !allocPair<DT32F>(coefLen, &coefBuf, stateLen, &stateBuf)))
    return -3;
  setUpRecord(r, N, lambda, coefBuf, stateBuf);
  return 0;
}

// Releases the two blocks and clears every pointer into them, so that a later
// copy reports -1 instead of touching freed memory.
template <class R>
void release(R *r) {
  if (!r) return;
  ::free(r->coefs);
  ::free(r->delayLine);
  forEachStageVector<R>([&](DT32F *R::*v) { r->*v = nullptr; });
  if constexpr (HasRing<R>::value) r->delayedInput = nullptr;
  r->length = 0;
}

template <class R>
DT32S reset(R *r) {
  if (!r) return -1;
  if (r->length >= 1) writeStartValues(r);
  return 0;
}

// Builds the record anew with N stages and the old lambda; the leading
// min(N, old N) elements of every per-stage vector carry over, and input-ring
// elements 0..m by position. index and updateCoefs restart; on failure the
// record stays as it was.
template <class R>
DT32S resize(R *r, DT32S N) {
  if (!r) return -1;
  if (N == r->length) return 0;
  auto carry = [](R *from, R *to) -> DT32S {
    const DT32S m = from->length < to->length ? from->length : to->length;
    if (m < 1) return 0;
    forEachStageVector<R>(
        [&](DT32F *R::*v) { copyVector(from->*v, to->*v, m); });
    if constexpr (HasRing<R>::value)
      copyVector(from->delayedInput, to->delayedInput, m + 1);
    return 0;
  };
  const DT32F lambda = r->lambda;  // err stays 0 until the next sample
  return resizeWith(
      r, [&](R *t) { return init(t, N, lambda); }, carry, release<R>);
}

// The two range guards of the stage recursion; neither fires on ordinary
// signals, so there the results are the plain recursion's. In silence the
// error powers decay to 0, and a zero B makes 0/0 of the next reflection
// coefficient: a power holds at the smallest normal value instead. When the
// signal returns (or an order far above 1/(1 - lambda) has fitted the data),
// g - b*b/B, which is g*lambda*Bold/B > 0 exactly, cancels to 0 or below, and
// the next stage's b*b/g overflows: a conversion factor that would fall below
// the sample type's epsilon (its resolution at the start value 1) keeps its
// value for the stages above. Both are branches that ordinary signals never
// take, so the predicted path runs on without waiting for the compare; as a
// select (maxss, a blend) the compiler would put it on the chain from one
// stage to the next. The empty asm keeps the branch from becoming a select.
inline DT32F floorPower(DT32F p) {
  constexpr DT32F tiny = std::numeric_limits<DT32F>::min();
  if (__builtin_expect(p < tiny, 0)) {
    asm volatile("");
    return tiny;
  }
  return p;
}
constexpr Acc kConvFloor = std::numeric_limits<DT32F>::epsilon();

// The forward, backward and estimation errors of order N of one sample.
struct StageErrors {
  Acc f, b, e;
};

// One pass of x through the N least-squares stages. With Adapt every stage
// updates its forward power, correlations, reflection and (with a ladder)
// ladder coefficient; without, only the backward power, the conversion factor
// and the delayed backward error move, and the stored coefficients filter.
// The estimation error starts from d when adapting and from 0 otherwise.
// Running errors stay in the accumulator type; every stored value is rounded.
template <bool Adapt, class R>
inline StageErrors runStages(R *r, Acc x, Acc d) {
  const Acc lam = r->lambda;
  const DT32S n = r->length;
  Acc f = x, b = x, e = Adapt ? d : 0.0, g = 1.0;
  for (DT32S m = 0; m < n; ++m) {
    const Acc bd = r->delayLine[m];
    const Acc bOld = r->bwdPower[m];
    const DT32F bNew = floorPower(DT32F(lam * bOld + b * b / g));
    Acc kf = r->fwdParcor[m], kb = r->bwdParcor[m];
    if constexpr (Adapt) {
      const Acc gp = r->convFactor[m];
      const DT32F fPow =
          floorPower(DT32F(lam * Acc(r->fwdPower[m]) + f * f / gp));
      const DT32F delta = DT32F(lam * Acc(r->crossCorr[m]) + f * bd / gp);
      r->fwdPower[m] = fPow;
      r->crossCorr[m] = delta;
      kf = r->fwdParcor[m] = DT32F(Acc(delta) / bOld);  // previous B[m]
      kb = r->bwdParcor[m] = DT32F(Acc(delta) / Acc(fPow));
    }
    const Acc fNext = f - kf * bd;
    const Acc bNext = bd - kb * f;
    if constexpr (HasLadder<R>::value) {
      Acc c = r->coefs[m];
      if constexpr (Adapt) {
        const DT32F rho = DT32F(lam * Acc(r->jointCorr[m]) + e * b / g);
        r->jointCorr[m] = rho;
        c = r->coefs[m] = DT32F(Acc(rho) / Acc(bNew));
      }
      e -= c * b;  // a posteriori: this sample's ladder coefficient
    }
    r->convFactor[m] = DT32F(g);
    const Acc gNext = g - b * b / Acc(bNew);
    if (__builtin_expect(gNext >= kConvFloor, 1))
      g = gNext;
    else
      asm volatile("");  // see floorPower
    r->bwdPower[m] = bNew;
    r->delayLine[m] = DT32F(b);
    f = fNext;
    b = bNext;
  }
  return StageErrors{f, b, e};
}

// The prediction filters' extra update of stage 0's forward power by the new
// sample's energy, before the stages run.
template <class R>
inline void addInputEnergy(R *r, Acc x) {
  r->fwdPower[0] = DT32F(Acc(r->lambda) * Acc(r->fwdPower[0]) + x * x);
}

}  // namespace quolm32f::latticerls

#endif
