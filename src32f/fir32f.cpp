// SPDX-License-Identifier: MIT
// Fixed FIR filter on the caller's coefficients.
#include <stdlib.h>

#include "kernels32f.h"
#include "quolmfir32f.h"
#include "transversal32f.h"

using namespace quolm32f;

namespace {

// Outputs computed side by side by the block form.
constexpr int kGroup = 8;

// Both Inits: the delay line is allocated, or the caller's (callerBuffers)
// is zeroed.
DT32S firInit(quolmFir *f, DT32S N, DT32F *coefs, bool callerBuffers,
              DT32F *stateBuf) {
  if (!f) return -1;
  f->length = 0;
  if (N < 1) return -2;
  if (!coefs || (callerBuffers && !stateBuf)) return -1;
  if (!callerBuffers) stateBuf = allocZeroed(size_t(N));
  if (!stateBuf) return -3;
  if (callerBuffers) zeroVector(stateBuf, N);
  f->length = N;
  f->index = N - 1;
  f->coefs = coefs;
  f->delayLine = stateBuf;
  return 0;
}

}  // namespace

extern "C" {

QUOLM_API DT32S fir32fInit(quolmFir *filter, DT32S N, DT32F *coefs) {
  return firInit(filter, N, coefs, false, nullptr);
}

QUOLM_API DT32S fir32fInitStatic(quolmFir *filter, DT32S N, DT32F *coefs,
                                 DT32F *stateBuf) {
  return firInit(filter, N, coefs, true, stateBuf);
}

QUOLM_API DT32F fir32fFilter(quolmFir *filter, DT32F x) {
  return DT32F(dotInsertCircBuf(x, filter->delayLine, filter->coefs,
                                filter->length, filter->length,
                                &filter->index));
}

QUOLM_API DT32F fir32fLCFilter(quolmFir *filter) {
  return DT32F(dotLinBuf(filter->delayLine, filter->coefs, filter->length));
}

QUOLM_API DT32S fir32fBlockFilter(quolmFir *filter, const DT32F *x, DT32F *y,
                                  DT32S N) {
  if (!filter || !x || !y) return -1;
  const DT32S len = filter->length;
  DT32S i = 0;
  if (len >= 2 * kGroup) {
    DT32F in[kGroup];
    Acc acc[kGroup];
    for (; i + kGroup <= N; i += kGroup) {
      for (int j = 0; j < kGroup; ++j) in[j] = x[i + j];  // x may alias y
      dotGroupCirc<kGroup>(filter->delayLine, filter->coefs, len,
                           filter->index, in, acc);
      for (int j = 0; j < kGroup; ++j) {
        DT32S &p = filter->index;
        filter->delayLine[p] = in[j];
        p = ringDown(p, len);
        y[i + j] = DT32F(acc[j]);
      }
    }
  }
  for (; i < N; ++i) y[i] = fir32fFilter(filter, x[i]);
  return 0;
}

QUOLM_API void fir32fFree(quolmFir *filter) {
  if (!filter) return;
  free(filter->delayLine);
  filter->delayLine = nullptr;
  filter->length = 0;
}

QUOLM_API DT32S fir32fResetDelayLine(quolmFir *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S fir32fGetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fir32fSetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fir32fGetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fir32fSetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return delayLineCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S fir32fResize(quolmFir *filter, DT32S N) {
  if (!filter) return -1;
  if (N < 1) return -2;
  if (N == filter->length) return 0;
  DT32F *coefs = filter->coefs;  // the caller's, shared by both records
  auto carry = [](quolmFir *from, quolmFir *to) -> DT32S {
    const DT32S rc = carryDelayLine(from, to);
    for (DT32S k = from->length; rc == 0 && k < to->length; ++k)
      to->coefs[k] = DT32F(0);
    return rc;
  };
  return resizeWith(
      filter, [&](quolmFir *t) { return fir32fInit(t, N, coefs); }, carry,
      fir32fFree);
}

}  // extern "C"
