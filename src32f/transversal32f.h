/* SPDX-License-Identifier: MIT */
// Operations shared by the records that keep `length` coefficients in `coefs`
// and a circular delay line of `length` samples in `delayLine` with write
// slot `index` (LMS, NLMS and their block forms): one implementation each.
#ifndef QUOLM_TRANSVERSAL32F_H
#define QUOLM_TRANSVERSAL32F_H

#include <stdlib.h>

#include "alloc32f.h"
#include "resize32f.h"
#include "vcopy32f.h"

namespace quolm32f {

template <Dir D, class R>
DT32S coefCopy(R *f, DT32F *values, DT32S start, DT32S count, DT32S reverse) {
  return copyMember<D>(f, &R::coefs, values, start, count, reverse);
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
  return f ? zeroChecked(f->coefs, f->length) : -1;
}

template <class R>
DT32S resetDelayLine(R *f) {
  return f ? zeroChecked(f->delayLine, f->length) : -1;
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

// Init, or InitStatic on the caller's buffers (callerBuffers), of the records
// with N coefficients and a ring of N samples, all zero: -1 for a null record
// or buffer, -2 when `sizesOk` is false (checked first), -3 when memory runs
// out. length stays 0 for the family's set-up to write.
template <class R>
DT32S initCoefsAndRing(R *f, DT32S N, bool sizesOk, bool callerBuffers = false,
                       DT32F *coefBuf = nullptr, DT32F *stateBuf = nullptr) {
  if (!f) return -1;
  f->length = 0;
  if (!sizesOk) return -2;
  if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
  const bool ok =
      takeBlocks(callerBuffers, size_t(N), coefBuf, size_t(N), stateBuf);
  f->coefs = coefBuf;  // null after a failed allocation
  f->delayLine = stateBuf;
  return ok ? 0 : -3;
}

// The newest samples of the ring, keeping their ages, placed by the new
// record's `index`; -1 when the old record has none.
template <class R>
DT32S carryDelayLine(const R *from, R *to) {
  if (!from->delayLine || from->length < 1) return -1;
  carryByAge(from->delayLine, from->length, ringUp(from->index, from->length),
             to->delayLine, to->length, ringUp(to->index, to->length));
  return 0;
}

// Resize of the records with one ring of `length` samples: the leading
// coefficients and the newest samples move over.
template <class R, class Init>
DT32S resizeRecord(R *f, Init init) {
  auto carry = [](R *from, R *to) -> DT32S {
    const DT32S rc = carryLeading(from, to, &R::coefs);
    return rc != 0 ? rc : carryDelayLine(from, to);
  };
  return resizeWith(f, init, carry, freeCoefsAndDelayLine<R>);
}

}  // namespace quolm32f

#endif
