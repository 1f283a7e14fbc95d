// SPDX-License-Identifier: MIT
// The resize transaction of every family: build the new record, carry the
// state over, keep the record that wins and release the other. Only the
// carry step is the family's own.
#ifndef QUOLM_RESIZE32F_H
#define QUOLM_RESIZE32F_H

#include "vcopy32f.h"

namespace quolm32f {

// `init(&tmp)` builds the new record (its code is returned on failure);
// `carry(old, new)` moves the state: 0, or a code < 0 that drops the new
// record. `release` frees the loser's buffers; the record takes the winner.
template <class R, class Init, class Carry, class Release>
DT32S resizeWith(R *f, Init init, Carry carry, Release release) {
  R tmp{};
  const DT32S rc = init(&tmp);
  if (rc != 0) return rc;
  const DT32S moved = carry(f, &tmp);
  if (moved != 0) {
    release(&tmp);
    return moved;
  }
  release(f);
  *f = tmp;
  return 0;
}

// Copies the leading min(old, new length) values of the vector `vec`: 0, or
// the copy's code (< 0) when the old record has no such values.
template <class R>
DT32S carryLeading(const R *from, R *to, DT32F *R::*vec) {
  const DT32S m = from->length < to->length ? from->length : to->length;
  const DT32S n =
      copyLinear<Dir::Set>(to->*vec, to->length, from->*vec, 0, m, 0);
  return n == m ? 0 : n;
}

}  // namespace quolm32f

#endif
