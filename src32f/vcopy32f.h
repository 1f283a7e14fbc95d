/* SPDX-License-Identifier: MIT */
// The vector copy rules shared by every family's Get/Set operations, and the
// carrying of a ring's recent history into a resized ring.
#ifndef QUOLM_VCOPY32F_H
#define QUOLM_VCOPY32F_H

#include "quolmdefs.h"
#include "ring32f.h"

namespace quolm32f {

enum class Dir { Get, Set };

// Checks and counts a copy of elements start.. of a vector of length len:
// -1 for a null vector or values, -2 for count < 1 or start outside
// 0..len-1, else the number of elements copied.
inline DT32S copyCount(const void *vec, const void *values, DT32S len,
                       DT32S start, DT32S count) {
  if (!vec || !values) return -1;
  if (count < 1 || start < 0 || start >= len) return -2;
  return len - start < count ? len - start : count;
}

// Linear copy between vec[start..] and values (reversed when reverse != 0).
template <Dir D>
DT32S copyLinear(DT32F *vec, DT32S len, DT32F *values, DT32S start,
                 DT32S count, DT32S reverse) {
  const DT32S n = copyCount(vec, values, len, start, count);
  for (DT32S i = 0; i < n; ++i) {
    DT32F &v = values[reverse ? n - 1 - i : i];
    DT32F &e = vec[start + i];
    if (D == Dir::Get) v = e; else e = v;
  }
  return n;
}

// Linear copy of the record's vector `vec` (its first `length` values); -1
// for a null record.
template <Dir D, class R>
DT32S copyMember(R *f, DT32F *R::*vec, DT32F *values, DT32S start, DT32S count,
                 DT32S reverse) {
  if (!f) return -1;
  return copyLinear<D>(f->*vec, f->length, values, start, count, reverse);
}

// The exported Get and Set of a member vector.
template <class R>
DT32S getMember(R *f, DT32F *R::*vec, DT32F *values, DT32S start, DT32S count,
                DT32S reverse) {
  return copyMember<Dir::Get>(f, vec, values, start, count, reverse);
}

template <class R>
DT32S setMember(R *f, DT32F *R::*vec, DT32F *values, DT32S start, DT32S count,
                DT32S reverse) {
  return copyMember<Dir::Set>(f, vec, values, start, count, reverse);
}

// Copy by age from a ring whose sample of age j lies in slot
// (newest + j) mod len: element start + i is the sample of age start + i.
template <Dir D>
DT32S copyByAge(DT32F *ring, DT32S len, DT32S newest, DT32F *values,
                DT32S start, DT32S count, DT32S reverse) {
  const DT32S n = copyCount(ring, values, len, start, count);
  DT32S slot = ringAdd(newest, start, len);
  for (DT32S i = 0; i < n; ++i) {
    DT32F &v = values[reverse ? n - 1 - i : i];
    if (D == Dir::Get) v = ring[slot]; else ring[slot] = v;
    slot = ringUp(slot, len);
  }
  return n;
}

// Copy of a circular delay line whose next write slot is index: the newest
// sample lies one slot above.
template <Dir D>
DT32S copyDelayLine(DT32F *ring, DT32S len, DT32S index, DT32F *values,
                    DT32S start, DT32S count, DT32S reverse) {
  if (len < 1) return copyCount(ring, values, len, start, count);
  return copyByAge<D>(ring, len, ringUp(index, len), values, start, count,
                      reverse);
}

// Carries the min(oldLen, newLen) newest samples of a ring into another ring,
// keeping their ages: age j moves from slot (oldNewest + j) mod oldLen to slot
// (newNewest + j) mod newLen.
inline void carryByAge(const DT32F *oldRing, DT32S oldLen, DT32S oldNewest,
                       DT32F *newRing, DT32S newLen, DT32S newNewest) {
  const DT32S m = oldLen < newLen ? oldLen : newLen;
  for (DT32S j = 0; j < m; ++j)
    newRing[ringAdd(newNewest, j, newLen)] =
        oldRing[ringAdd(oldNewest, j, oldLen)];
}

// Zeroes n values (none for n < 1).
inline void zeroVector(DT32F *v, DT32S n) {
  for (DT32S i = 0; i < n; ++i) v[i] = DT32F(0);
}

// The Reset of an exported function: -1 when the vector is null, else it is
// zeroed and 0 returned.
inline DT32S zeroChecked(DT32F *v, DT32S n) {
  if (!v) return -1;
  zeroVector(v, n);
  return 0;
}

}  // namespace quolm32f

#endif
