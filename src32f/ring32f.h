// SPDX-License-Identifier: MIT
// Ring indices, in one of two conventions for a ring of n slots:
// - write-slot rings step down: the index is the slot the next sample goes
//   to and the newest sample sits one above (the transversal, TDLMS and
//   secondary-path delay lines, the PBFDAF spectra);
// - newest-slot rings step up: the index is the newest sample's slot and
//   the next one goes above it (the backward predictors' input rings).
// The filtered-x ring steps down before it writes, so it points at its newest.
#ifndef QUOLM_RING32F_H
#define QUOLM_RING32F_H

#include <stdint.h>

#include "quolmdefs.h"

namespace quolm32f {

inline DT32S ringUp(DT32S i, DT32S n) { return i + 1 == n ? 0 : i + 1; }

inline DT32S ringDown(DT32S i, DT32S n) { return i == 0 ? n - 1 : i - 1; }

// (slot + offset) mod n for any offset >= 0, without overflowing DT32S.
inline DT32S ringAdd(DT32S slot, int64_t offset, DT32S n) {
  return DT32S((slot + offset) % n);
}

// Newest-slot ring: steps up, stores x and returns the oldest sample, the one
// the next push overwrites.
inline DT32F pushNewest(DT32F *ring, DT32S n, DT32S *index, DT32F x) {
  *index = ringUp(*index, n);
  ring[*index] = x;
  return ring[ringUp(*index, n)];
}

}  // namespace quolm32f

#endif
