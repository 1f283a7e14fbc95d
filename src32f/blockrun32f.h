/* SPDX-License-Identifier: MIT */
// What the block LMS and block NLMS families share: the set-up checks, the
// caller-buffer set-up and the checks of a block call. Both records keep
// `length`, `blockLen`, `coefs`, `delayLine` and `index`; everything is
// reached by field name.
#ifndef QUOLM_BLOCKRUN32F_H
#define QUOLM_BLOCKRUN32F_H

#include "transversal32f.h"

namespace quolm32f {

// Init argument checks in their order; the record's length is 0 on failure.
template <class R>
DT32S blockInitCheck(R *f, DT32S N, DT32S blockLen) {
  if (!f) return -1;
  f->length = 0;
  return N < 1 || blockLen < 1 ? -2 : 0;
}

// Init: checks, then N coefficients and a ring of N samples, all zero.
template <class R>
DT32S blockInit(R *f, DT32S N, DT32S blockLen) {
  const DT32S rc = blockInitCheck(f, N, blockLen);
  return rc != 0 ? rc : allocCoefsAndRing(f, N, N);
}

// InitStatic: checks, then the caller's two buffers of N values, zeroed.
template <class R>
DT32S blockInitStatic(R *f, DT32S N, DT32S blockLen, DT32F *coefBuf,
                      DT32F *stateBuf) {
  const DT32S rc = blockInitCheck(f, N, blockLen);
  if (rc != 0) return rc;
  if (!coefBuf || !stateBuf) return -1;
  f->coefs = coefBuf;
  f->delayLine = stateBuf;
  zeroVector(coefBuf, N);
  zeroVector(stateBuf, N);
  return 0;
}

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
