/* SPDX-License-Identifier: MIT */
// Reference model of the transversal filters for the tests: the textbook
// sums with the library's rounding rules (one double accumulator in index
// order, rounding only where a value is stored).
#ifndef QUOLM_TESTS_REFTRANSVERSAL32F_H
#define QUOLM_TESTS_REFTRANSVERSAL32F_H

#include <deque>

#include "testutil32f.h"

struct RefTransversal {
  Vec w;                // coefficients
  std::deque<DT32F> h;  // h[k] = x(n-k)
  explicit RefTransversal(size_t n) : w(n, DT32F(0)), h(n, DT32F(0)) {}

  void push(DT32F x) {
    h.push_front(x);
    h.pop_back();
  }
  double output() const {
    double acc = 0.0;
    for (size_t k = 0; k < w.size(); ++k) acc += double(w[k]) * double(h[k]);
    return acc;
  }
  // w[k] += g * u[k], with u the sample or its sign.
  void adapt(DT32F g, bool signReg) {
    for (size_t k = 0; k < w.size(); ++k) {
      const double u = signReg ? (h[k] >= 0 ? 1.0 : -1.0) : double(h[k]);
      w[k] = DT32F(double(w[k]) + double(g) * u);
    }
  }
};

#endif
