/* SPDX-License-Identifier: MIT */
// What the filtered-x and adjoint LMS families share. Both adapt N taps whose
// output reaches the error point through the caller's secondary path, and
// keep three rings in one state block: the output history (secLength slots),
// a middle ring of the family's own (Shape::mid) and the reference history
// (refLength slots). A Shape names the middle ring and the sizes:
//   Rec                      the record type
//   mid(f), midIndex(f)      references to the middle ring and its index
//   midLen(f)                slots of the middle ring
//   midNewest(f)             slot of its newest value
//   sizes(N, Nm, ref, mid)   refLength and middle-ring slots; false when the
//                            sizes cannot be indexed
// Fields shared by both records are reached by name.
#ifndef QUOLM_SECPATH32F_H
#define QUOLM_SECPATH32F_H

#include "consts32f.h"
#include "kernels32f.h"
#include "transversal32f.h"

namespace quolm32f {

template <class Shape>
struct SecPathFilter {
  typedef typename Shape::Rec R;

  // Init, or InitStatic on the caller's buffers (callerBuffers). Sizes
  // beyond indexing give -3, or -2 for InitStatic, which allocates nothing.
  static DT32S init(R *f, DT32S N, DT32F mu, DT32F *secPath, DT32S Ns,
                    DT32F *secModel, DT32S Nm, bool callerBuffers = false,
                    DT32F *coefBuf = nullptr, DT32F *stateBuf = nullptr) {
    const DT32S rc = check(f, N, secPath, Ns, secModel, Nm);
    if (rc != 0) return rc;
    if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
    DT32S ref, mid;
    size_t state;
    if (!sizes(N, Ns, Nm, ref, mid, state)) return callerBuffers ? -2 : -3;
    if (!takeBlocks(callerBuffers, size_t(N), coefBuf, state, stateBuf))
      return -3;
    setUp(f, N, mu, secPath, Ns, secModel, Nm, ref, mid, coefBuf, stateBuf);
    return 0;
  }

  // Stores x in the reference ring and returns the adaptive filter's output
  // (rounded, as it is stored in the output ring).
  static DT32F filterReference(R *f, DT32F x) {
    return DT32F(dotInsertCircBuf(x, f->delayLine, f->coefs, f->refLength,
                                  f->length, &f->index));
  }

  // Passes the adaptive filter's output y through the secondary path.
  static Acc secondaryPath(R *f, DT32F y) {
    return dotInsertCircBuf(y, f->outDelayLine, f->secPath, f->secLength,
                            f->secLength, &f->outIndex);
  }

  // Folds v into the power estimate that normalises the step.
  static void trackPower(R *f, DT32F v) {
    f->power = DT32F(Acc(kSecPathGain) * Acc(v) * Acc(v) +
                     Acc(kSecPathKeep) * Acc(f->power));
  }

  // Releases the coefficients and the state block; every pointer into them
  // is cleared, so later calls report -1 instead of touching freed memory.
  static void release(R *f) {
    if (!f) return;
    free(f->coefs);
    free(f->outDelayLine);
    f->coefs = nullptr;
    f->outDelayLine = nullptr;
    Shape::mid(f) = nullptr;
    f->delayLine = nullptr;
  }

  // Zeroes the three histories; -1, touching nothing, when one is missing.
  static DT32S resetHistories(R *f) {
    if (!f || !f->outDelayLine || !Shape::mid(f) || !f->delayLine) return -1;
    zeroVector(f->delayLine, f->refLength);
    zeroVector(f->outDelayLine, f->secLength);
    zeroVector(Shape::mid(f), Shape::midLen(f));
    return 0;
  }

  // Copies the reference history by age (element 0 the newest sample).
  template <Dir D>
  static DT32S referenceCopy(R *f, DT32F *values, DT32S start, DT32S count,
                             DT32S reverse) {
    if (!f) return -1;
    return copyDelayLine<D>(f->delayLine, f->refLength, f->index, values, start,
                            count, reverse);
  }

  // New N with the record's other parameters; the leading coefficients, the
  // newest values of every history (each keeping its age) and the power
  // estimate carry over.
  static DT32S resize(R *f, DT32S N) {
    if (!f) return -1;
    if (N == f->length) return 0;
    auto renew = [&](R *t) {
      return init(t, N, f->mu, f->secPath, f->secLength, f->secModel,
                  f->modelLength);
    };
    return resizeWith(f, renew, carry, release);
  }

 private:
  static DT32S check(R *f, DT32S N, const DT32F *secPath, DT32S Ns,
                     const DT32F *secModel, DT32S Nm) {
    if (!f) return -1;
    f->length = 0;
    if (N < 1 || Ns < 1 || Nm < 1) return -2;
    return !secPath || !secModel ? -1 : 0;
  }

  // Ring sizes and the state block length (output, middle, reference).
  static bool sizes(DT32S N, DT32S Ns, DT32S Nm, DT32S &ref, DT32S &mid,
                    size_t &state) {
    size_t part;
    return Shape::sizes(N, Nm, ref, mid) &&
           sizeAdd(size_t(Ns), size_t(mid), part) &&
           sizeAdd(part, size_t(ref), state);
  }

  static void setUp(R *f, DT32S N, DT32F mu, DT32F *secPath, DT32S Ns,
                    DT32F *secModel, DT32S Nm, DT32S ref, DT32S mid,
                    DT32F *coefs, DT32F *block) {
    f->secLength = Ns;
    f->modelLength = Nm;
    f->refLength = ref;
    f->mu = mu;
    f->err = DT32F(0);
    f->power = DT32F(1);
    f->coefs = coefs;
    f->secPath = secPath;
    f->secModel = secModel;
    f->outDelayLine = block;
    Shape::mid(f) = block + Ns;
    f->delayLine = block + Ns + mid;
    f->index = 0;
    f->outIndex = 0;
    Shape::midIndex(f) = 0;
    f->length = N;
  }

  // Resize's carry: the leading coefficients, the power estimate and the
  // newest values of every history, each keeping its age.
  static DT32S carry(R *from, R *to) {
    const DT32S rc = carryLeading(from, to, &R::coefs);
    if (rc != 0) return rc;
    if (!from->outDelayLine || !Shape::mid(from) || !from->delayLine) return -1;
    to->power = from->power;
    carryByAge(from->delayLine, from->refLength,
               ringUp(from->index, from->refLength), to->delayLine,
               to->refLength, ringUp(to->index, to->refLength));
    carryByAge(from->outDelayLine, from->secLength,
               ringUp(from->outIndex, from->secLength), to->outDelayLine,
               to->secLength, ringUp(to->outIndex, to->secLength));
    carryByAge(Shape::mid(from), Shape::midLen(from), Shape::midNewest(from),
               Shape::mid(to), Shape::midLen(to), Shape::midNewest(to));
    return 0;
  }
};

}  // namespace quolm32f

#endif
