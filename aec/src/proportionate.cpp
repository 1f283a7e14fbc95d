// SPDX-License-Identifier: MIT
#include "proportionate.h"

#include <math.h>

#include <algorithm>

namespace quolmaec {

namespace {
constexpr float kFloor = 0.3f;  // of the largest norm, for every partition
constexpr float kMaxGain = 4;   // a partition's share, at most
}  // namespace

void shareUpdate(const DT32F *before, DT32F *coefs, DT32S P, DT32S M,
                 DT32F *gains) {
  float largest = 0, sum = 0;
  for (DT32S p = 0; p < P; ++p) {
    const DT32F *w = before + size_t(p) * size_t(M);
    float s = 0;
    for (DT32S k = 0; k < M; ++k) s += w[k] * w[k];
    gains[p] = sqrtf(s);
    largest = std::max(largest, gains[p]);
  }
  if (!(largest > 0)) return;
  for (DT32S p = 0; p < P; ++p) sum += gains[p] += kFloor * largest;
  for (DT32S p = 0; p < P; ++p) {
    const float g = std::min(kMaxGain, gains[p] * float(P) / sum);
    DT32F *w = coefs + size_t(p) * size_t(M);
    const DT32F *o = before + size_t(p) * size_t(M);
    for (DT32S k = 0; k < M; ++k) w[k] = o[k] + g * (w[k] - o[k]);
  }
}

}  // namespace quolmaec
