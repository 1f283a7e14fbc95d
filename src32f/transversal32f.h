/* SPDX-License-Identifier: MIT */
// Operations shared by the records that keep `length` coefficients in `coefs`
// and a circular delay line of `length` samples in `delayLine` with write
// slot `index` (LMS, NLMS and their block forms): one implementation each.
#ifndef QUOLM_TRANSVERSAL32F_H
#define QUOLM_TRANSVERSAL32F_H

#include <stdlib.h>

#include "alloc32f.h"
#include "vcopy32f.h"

namespace quolm32f {

template <Dir D, class R>
DT32S coefCopy(R *f, DT32F *values, DT32S start, DT32S count, DT32S reverse) {
  if (!f) return -1;
  return copyLinear<D>(f->coefs, f->length, values, start, count, reverse);
}

template <Dir D, class R>
DT32S delayLineCopy(R *f, DT32F *values, DT32S start, DT32S count,
                    DT32S reverse) {
  if (!f) return -1;
  return copyDelayLine<D>(f->delayLine, f->length, f->index, values, start,
                          count, reverse);
}

template <class R>
DT32S resetCoefs(R *f) {
  return f ? zeroVector(f->coefs, f->length) : -1;
}

template <class R>
DT32S resetDelayLine(R *f) {
  return f ? zeroVector(f->delayLine, f->length) : -1;
}

// Releases the two Init-made vectors; the pointers are cleared so that a
// later Reset or copy reports -1 instead of touching freed memory.
template <class R>
void freeCoefsAndDelayLine(R *f) {
  if (!f) return;
  free(f->coefs);
  free(f->delayLine);
  f->coefs = nullptr;
  f->delayLine = nullptr;
}

// Allocates the N coefficients and the ring of ringLen samples of an Init.
template <class R>
DT32S allocCoefsAndRing(R *f, DT32S N, DT32S ringLen) {
  if (!allocPair<DT32F>(size_t(N), &f->coefs, size_t(ringLen), &f->delayLine)) {
    f->length = 0;
    return -3;
  }
  return 0;
}

// The resize plan: `init(&tmp)` builds the new filter (its code is returned
// on failure, the record untouched); the leading coefficients move over, then
// `carry(old, new)` moves the input history (0, or -1 when the old record has
// none); `release` frees a record's buffers, the old ones on success, the new
// ones on failure; the record takes the new buffers.
template <class R, class Init, class Carry, class Release>
DT32S resizeRecordWith(R *f, Init init, Carry carry, Release release) {
  R tmp;
  const DT32S rc = init(&tmp);
  if (rc != 0) return rc;
  const DT32S m = f->length < tmp.length ? f->length : tmp.length;
  const DT32S n = coefCopy<Dir::Set>(&tmp, f->coefs, 0, m, 0);
  const DT32S moved = n == m ? carry(f, &tmp) : n;  // short copy: a code < 0
  if (moved != 0) {
    release(&tmp);
    return moved;
  }
  release(f);
  *f = tmp;
  return 0;
}

// The plan for records with one ring of `length` samples: the newest samples
// keep their ages, placed by the new record's `index`.
template <class R, class Init>
DT32S resizeRecord(R *f, Init init) {
  auto carry = [](R *from, R *to) -> DT32S {
    if (!from->delayLine) return -1;
    carryByAge(from->delayLine, from->length, (from->index + 1) % from->length,
               to->delayLine, to->length, (to->index + 1) % to->length);
    return 0;
  };
  return resizeRecordWith(f, init, carry, freeCoefsAndDelayLine<R>);
}

}  // namespace quolm32f

#endif
