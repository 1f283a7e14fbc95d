// SPDX-License-Identifier: MIT
// Exported vector helpers and the in-place addition.
#include "quolmvector32f.h"  // first: its declarations carry the export mark
#include "kernels32f.h"
#include "vcopy32f.h"

using namespace quolm32f;

extern "C" {

QUOLM_API DT32S reset32f(DT32F *x, DT32S N) { return zeroChecked(x, N); }

QUOLM_API DT32S set32f(DT32F value, DT32F *x, DT32S N) {
  if (!x) return -1;
  for (DT32S i = 0; i < N; ++i) x[i] = value;
  return 0;
}

QUOLM_API DT32S insertSampleLinBuf32f(DT32F x, DT32F *buf, DT32S N) {
  if (!buf) return -1;
  if (N < 1) return 0;  // an empty buffer is never written
  for (DT32S i = N - 1; i > 0; --i) buf[i] = buf[i - 1];
  buf[0] = x;
  return 0;
}

QUOLM_API DT32S nextPow2(DT64S n) {
  if (n < 0 || n > (DT64S(1) << 30)) return -2;
  DT32S k = 0;
  while ((DT64S(1) << k) < n) ++k;
  return k;
}

// Exported by the double build only; the single build keeps it internal.
#ifdef QUOLM_BUILD_DT64F
QUOLM_API
#endif
DT32S addIp32f(const DT32F *x, DT32F *y, DT32S N) {
  if (!x || !y) return -1;
  for (DT32S i = 0; i < N; ++i) y[i] = x[i] + y[i];
  return 0;
}

}  // extern "C"
