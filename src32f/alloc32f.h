/* SPDX-License-Identifier: MIT */
// Checked sizes and zero-filled allocation. Every buffer size is computed in
// size_t with overflow checks; a size that the library could not index with
// DT32S, or that overflows, is refused like a failed allocation.
#ifndef QUOLM_ALLOC32F_H
#define QUOLM_ALLOC32F_H

#include <stdint.h>
#include <stdlib.h>

#include "quolmdefs.h"
#include "vcopy32f.h"

namespace quolm32f {

// Largest element count of one buffer: indices are DT32S.
constexpr size_t kMaxElems = size_t(INT32_MAX);

// out = a * b; false on overflow or when the result exceeds kMaxElems.
inline bool sizeMul(size_t a, size_t b, size_t &out) {
  return !__builtin_mul_overflow(a, b, &out) && out <= kMaxElems;
}

// out = a + b; false on overflow or when the result exceeds kMaxElems.
inline bool sizeAdd(size_t a, size_t b, size_t &out) {
  return !__builtin_add_overflow(a, b, &out) && out <= kMaxElems;
}

// n zero-filled values of type T from calloc, or null when n is out of range
// or memory runs out.
template <class T = DT32F>
inline T *allocZeroed(size_t n) {
  if (n < 1 || n > kMaxElems) return nullptr;
  return static_cast<T *>(calloc(n, sizeof(T)));
}

// Two zero-filled blocks; when the second fails the first is released.
template <class T = DT32F>
inline bool allocPair(size_t n1, T **p1, size_t n2, T **p2) {
  *p1 = allocZeroed<T>(n1);
  if (!*p1) return false;
  *p2 = allocZeroed<T>(n2);
  if (*p2) return true;
  free(*p1);
  *p1 = nullptr;
  return false;
}

// The two blocks of an Init (allocated zero-filled) or of an InitStatic (the
// caller's, zeroed when callerBuffers); false when allocation fails.
inline bool takeBlocks(bool callerBuffers, size_t coefLen, DT32F *&coefBuf,
                       size_t stateLen, DT32F *&stateBuf) {
  if (!callerBuffers)
    return allocPair<DT32F>(coefLen, &coefBuf, stateLen, &stateBuf);
  zeroVector(coefBuf, DT32S(coefLen));
  zeroVector(stateBuf, DT32S(stateLen));
  return true;
}

}  // namespace quolm32f

#endif
