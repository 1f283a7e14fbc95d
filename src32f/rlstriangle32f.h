// SPDX-License-Identifier: MIT
// The packed-triangle kernels of the RLS family. P, the symmetric estimate of
// the inverse input correlation matrix, is held as its lower triangle, row r
// at offset r(r+1)/2 (running sums in size_t, so no offset wraps). Each kernel
// has a plain scalar form, the reference, and the wide form the family runs;
// both give the same values bit for bit.
#ifndef QUOLM_RLSTRIANGLE32F_H
#define QUOLM_RLSTRIANGLE32F_H

#include "kernels32f.h"

namespace quolm32f::rlstriangle {

// g = P*x: g[i] sums P(i, j) * x[j] over j = 0..n-1 in increasing j, and in
// the single build every partial sum is rounded to the sample type, as it
// lives in g[i]. The wide form runs blocks of 8 rows (4 under AVX2 and the
// baseline), then a band of 4, then the last rows one by one.
void timesVector(const DT32F *P, const DT32F *x, DT32F *g, DT32S n);
void timesVectorScalar(const DT32F *P, const DT32F *x, DT32F *g, DT32S n);

// Row by row: k_i = g[i]/q, w[i] += k_i*e unless w is null, and
// P(i, j) = P(i, j)*invLambda - k_i*g[j] for j <= i, each rounded once.
void update(DT32F *P, const DT32F *g, DT32F *w, DT32S n, Acc q, Acc invLambda,
            Acc e);
void updateScalar(DT32F *P, const DT32F *g, DT32F *w, DT32S n, Acc q,
                  Acc invLambda, Acc e);

}  // namespace quolm32f::rlstriangle

#endif
