/* SPDX-License-Identifier: MIT */
// What the block LMS and block NLMS families share beyond the transversal
// Inits: the set-up and the checks of a block call. Both records keep
// `length`, `blockLen`, `coefs`, `delayLine` and `index`; everything is
// reached by field name.
#ifndef QUOLM_BLOCKRUN32F_H
#define QUOLM_BLOCKRUN32F_H

#include "transversal32f.h"

namespace quolm32f {

// The fields every successful set-up leaves: sizes, step, index 0.
template <class R>
void blockSetUp(R *f, DT32S N, DT32S blockLen, DT32F mu) {
  f->length = N;
  f->blockLen = blockLen;
  f->mu = mu;
  f->index = 0;
}

// Checks of a block call: -1 when the record lacks a vector or a block
// pointer is null, 0 when there is nothing to do, 1 to run.
template <class R, class... Blocks>
DT32S blockReady(const R *f, const Blocks *...blocks) {
  if (!f || !f->coefs || !f->delayLine || !(... && blocks)) return -1;
  return f->blockLen < 1 ? 0 : 1;
}

}  // namespace quolm32f

#endif
