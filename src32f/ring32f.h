// SPDX-License-Identifier: MIT
// Ring indices. Every ring of n slots keeps one index, in one of two
// conventions:
// - write-slot rings step down: the index is the slot the next sample goes
//   to, the newest sample sits one slot above it (the delay lines of the
//   transversal, TDLMS and secondary-path families, the PBFDAF spectra);
// - newest-slot rings step up: the index is the slot of the newest sample,
//   and the next sample goes one slot above it (the input rings of the
//   backward predictors). The filtered-x ring steps down but also points at
//   its newest value: it steps before it writes.
#ifndef QUOLM_RING32F_H
#define QUOLM_RING32F_H

#include <stdint.h>

#include "quolmdefs.h"

namespace quolm32f {

// The slot above i, wrapping to 0.
inline DT32S ringUp(DT32S i, DT32S n) { return i + 1 == n ? 0 : i + 1; }

// The slot below i, wrapping to n - 1.
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
