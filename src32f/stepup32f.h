/* SPDX-License-Identifier: MIT */
// Step-up recursion: reflection coefficients of a lattice predictor to the
// direct-form coefficients of the same predictor.
#ifndef QUOLM_STEPUP32F_H
#define QUOLM_STEPUP32F_H

#include "kernels32f.h"

namespace quolm32f {

// For a lattice whose stage m (m = 1..order) forms
//   f_m(n) = f_{m-1}(n) - k[m-1] * b_{m-1}(n-1),
//   b_m(n) = b_{m-1}(n-1) - k[m-1] * f_{m-1}(n),
// writes a[0..order-1] so that 1 - sum_j a[j] z^-(j+1) is the transfer function
// from the input to f_order (its reversed polynomial gives b_order). Order by
// order: a'[j] = a[j] - k[m] * a[m-1-j] for j < m, a'[m] = k[m]. Works in place
// on a, taking the pairs (j, m-1-j) together; each value of every order is
// rounded to the sample type as it is stored. Nothing happens for order < 1.
inline void stepUp(const DT32F *k, DT32F *a, DT32S order) {
  for (DT32S m = 0; m < order; ++m) {
    const Acc km = k[m];
    // The lower half lo[j] pairs with the upper half hi[h-1-j]; the halves
    // are disjoint, which lets the compiler vectorise the loop.
    const DT32S h = m / 2;
    DT32F *__restrict lo = a;
    DT32F *__restrict hi = a + (m - h);
    for (DT32S j = 0; j < h; ++j) {
      const Acc l = lo[j], u = hi[h - 1 - j];
      lo[j] = DT32F(l - km * u);
      hi[h - 1 - j] = DT32F(u - km * l);
    }
    if (m % 2 == 1) a[h] = DT32F(Acc(a[h]) - km * Acc(a[h]));
    a[m] = k[m];
  }
}

}  // namespace quolm32f

#endif
