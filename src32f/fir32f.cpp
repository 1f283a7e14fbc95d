// Fixed FIR filter on the caller's coefficients.
#include <stdlib.h>

#include "alloc32f.h"
#include "kernels32f.h"
#include "quolmfir32f.h"
#include "vcopy32f.h"

using namespace quolm32f;

namespace {

// Outputs computed side by side by the block form.
constexpr int kGroup = 8;

DT32S firSetUp(quolmFir *f, DT32S N, DT32F *coefs, DT32F *stateBuf) {
  f->length = N;
  f->index = N - 1;
  f->coefs = coefs;
  f->delayLine = stateBuf;
  return 0;
}

}  // namespace

extern "C" {

QUOLM_API DT32S fir32fInit(quolmFir *filter, DT32S N, DT32F *coefs) {
  if (!filter) return -1;
  filter->length = 0;
  if (N < 1) return -2;
  if (!coefs) return -1;
  DT32F *line = allocZeroed(size_t(N));
  if (!line) return -3;
  return firSetUp(filter, N, coefs, line);
}

QUOLM_API DT32S fir32fInitStatic(quolmFir *filter, DT32S N, DT32F *coefs,
                                 DT32F *stateBuf) {
  if (!filter) return -1;
  filter->length = 0;
  if (N < 1) return -2;
  if (!coefs || !stateBuf) return -1;
  zeroVector(stateBuf, N);
  return firSetUp(filter, N, coefs, stateBuf);
}

QUOLM_API DT32F fir32fFilter(quolmFir *filter, DT32F x) {
  return DT32F(dotInsertCircBuf32f(x, filter->delayLine, filter->coefs,
                                   filter->length, filter->length,
                                   &filter->index));
}

QUOLM_API DT32F fir32fLCFilter(quolmFir *filter) {
  return DT32F(dotLinBuf32f(filter->delayLine, filter->coefs, filter->length));
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
        p = p == 0 ? len - 1 : p - 1;
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
  return filter ? zeroVector(filter->delayLine, filter->length) : -1;
}

QUOLM_API DT32S fir32fGetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyLinear<Dir::Get>(filter->coefs, filter->length, values, start,
                              count, reverse);
}

QUOLM_API DT32S fir32fSetCoef(quolmFir *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyLinear<Dir::Set>(filter->coefs, filter->length, values, start,
                              count, reverse);
}

QUOLM_API DT32S fir32fGetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyDelayLine<Dir::Get>(filter->delayLine, filter->length,
                                 filter->index, values, start, count, reverse);
}

QUOLM_API DT32S fir32fSetDelayLine(quolmFir *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  if (!filter) return -1;
  return copyDelayLine<Dir::Set>(filter->delayLine, filter->length,
                                 filter->index, values, start, count, reverse);
}

QUOLM_API DT32S fir32fResize(quolmFir *filter, DT32S N) {
  if (!filter) return -1;
  if (N < 1) return -2;
  const DT32S old = filter->length;
  if (N == old) return 0;
  quolmFir tmp;
  const DT32S rc = fir32fInit(&tmp, N, filter->coefs);
  if (rc != 0) return rc;
  if (!filter->delayLine || old < 1) {
    fir32fFree(&tmp);
    return -1;
  }
  carryByAge(filter->delayLine, old, (filter->index + 1) % old, tmp.delayLine,
             N, 0);
  for (DT32S k = old; k < N; ++k) filter->coefs[k] = DT32F(0);
  free(filter->delayLine);
  *filter = tmp;
  return 0;
}

}  // extern "C"
