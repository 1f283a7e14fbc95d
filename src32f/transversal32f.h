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
// on failure, the record untouched); the leading coefficients and the newest
// samples (by age) move over; the old buffers go and the record takes the new
// ones.
template <class R, class Init>
DT32S resizeRecord(R *f, Init init) {
  R tmp;
  const DT32S rc = init(&tmp);
  if (rc != 0) return rc;
  const DT32S m = f->length < tmp.length ? f->length : tmp.length;
  const DT32S n = coefCopy<Dir::Set>(&tmp, f->coefs, 0, m, 0);
  if (n != m || !f->delayLine) {  // a copy short of m reports a code < 0
    freeCoefsAndDelayLine(&tmp);
    return n != m ? n : -1;
  }
  carryByAge(f->delayLine, f->length, (f->index + 1) % f->length,
             tmp.delayLine, tmp.length, (tmp.index + 1) % tmp.length);
  freeCoefsAndDelayLine(f);
  *f = tmp;
  return 0;
}

}  // namespace quolm32f

#endif
