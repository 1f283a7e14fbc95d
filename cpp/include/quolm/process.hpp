// SPDX-License-Identifier: MIT
// quolm C++ layer: the processing calls of the three call shapes.
//
//   Estimator  per sample, input x and desired d: y = filterUpdate(x, d)
//   Predictor  per sample, input x only:          y = filterUpdate(x)
//   Block      blocks of blockLength() samples:   filterUpdate(x, d, y, e)
//
// Per-sample calls return what the C call returns and never fail. The
// whole-signal calls run the per-sample (or per-block) loop over whole
// ranges; they check the ranges' sizes first and, on a mismatch, fail with
// -2 before reading or writing any sample. They never allocate.
#ifndef QUOLM_PROCESS_HPP
#define QUOLM_PROCESS_HPP

#include <cstddef>

#include "filter.hpp"

namespace quolm::detail {

template <class Ops>
class Estimator : public Filter<Ops> {
 public:
  using T = typename Ops::Sample;

  // Filters x, adapts toward d and returns the output from before the update.
  T filterUpdate(T x, T d) noexcept { return update_(&this->rec_, x, d); }
  // Filters x without adapting.
  T filterOnly(T x) noexcept { return Ops::filterOnly(&this->rec_, x); }
  // The error of the last adapting call (the record's err).
  T error() const noexcept { return this->rec_.err; }

  // The same over n samples; e, when given, receives each call's error.
  void filterUpdate(const T *x, const T *d, T *y, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) y[i] = update_(&this->rec_, x[i], d[i]);
  }
  void filterUpdate(const T *x, const T *d, T *y, T *e, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
      y[i] = update_(&this->rec_, x[i], d[i]);
      e[i] = this->rec_.err;
    }
  }
  void filterOnly(const T *x, T *y, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) y[i] = Ops::filterOnly(&this->rec_, x[i]);
  }

  // Whole-signal calls over ranges of one size.
  int filterUpdate(Span<const T> x, Span<const T> d, Span<T> y) {
    if (d.size() != x.size() || y.size() != x.size())
      return this->failed(-2, "filterUpdate", "x.size(), d.size(), y.size()", x.size(),
                          d.size(), y.size());
    filterUpdate(x.data(), d.data(), y.data(), x.size());
    return 0;
  }
  int filterUpdate(Span<const T> x, Span<const T> d, Span<T> y, Span<T> e) {
    if (d.size() != x.size() || y.size() != x.size() || e.size() != x.size())
      return this->failed(-2, "filterUpdate", "x.size(), d.size(), y.size(), e.size()",
                          x.size(), d.size(), y.size(), e.size());
    filterUpdate(x.data(), d.data(), y.data(), e.data(), x.size());
    return 0;
  }
  int filterOnly(Span<const T> x, Span<T> y) {
    if (y.size() != x.size())
      return this->failed(-2, "filterOnly", "x.size(), y.size()", x.size(), y.size());
    filterOnly(x.data(), y.data(), x.size());
    return 0;
  }

 protected:
  // A function pointer, so that a family can choose its update law once.
  std::remove_const_t<decltype(Ops::filterUpdate)> update_ = Ops::filterUpdate;
};

template <class Ops>
class Predictor : public Filter<Ops> {
 public:
  using T = typename Ops::Sample;

  // Runs x through the adapting predictor and returns the C call's output;
  // error() is then the prediction error.
  T filterUpdate(T x) noexcept { return Ops::filterUpdate(&this->rec_, x); }
  T filterOnly(T x) noexcept { return Ops::filterOnly(&this->rec_, x); }
  T error() const noexcept { return this->rec_.err; }

  // The same over n samples, with each call's prediction error in e.
  void filterUpdate(const T *x, T *y, T *e, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
      y[i] = Ops::filterUpdate(&this->rec_, x[i]);
      e[i] = this->rec_.err;
    }
  }
  void filterOnly(const T *x, T *y, T *e, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
      y[i] = Ops::filterOnly(&this->rec_, x[i]);
      e[i] = this->rec_.err;
    }
  }
  int filterUpdate(Span<const T> x, Span<T> y, Span<T> e) {
    if (y.size() != x.size() || e.size() != x.size())
      return mismatch("filterUpdate", x.size(), y.size(), e.size());
    filterUpdate(x.data(), y.data(), e.data(), x.size());
    return 0;
  }
  int filterOnly(Span<const T> x, Span<T> y, Span<T> e) {
    if (y.size() != x.size() || e.size() != x.size())
      return mismatch("filterOnly", x.size(), y.size(), e.size());
    filterOnly(x.data(), y.data(), e.data(), x.size());
    return 0;
  }

 private:
  template <class... N>
  int mismatch(const char *op, N... sizes) const {
    return this->failed(-2, op, "x.size(), y.size(), e.size()", sizes...);
  }
};

template <class Ops>
class Block : public Filter<Ops> {
 public:
  using T = typename Ops::Sample;

  std::size_t blockLength() const noexcept { return std::size_t(this->rec_.blockLen); }

  // Runs n samples (a multiple of blockLength()) block by block: y receives
  // the outputs, e the errors d - y. The C block calls only read x and d.
  int filterUpdate(const T *x, const T *d, T *y, T *e, std::size_t n) {
    const std::size_t b = blockLength();
    if (b == 0 || n % b != 0) return mismatch("filterUpdate", n, b);
    for (std::size_t i = 0; i < n; i += b)
      update_(&this->rec_, const_cast<T *>(x + i), const_cast<T *>(d + i), y + i, e + i);
    return 0;
  }
  int filterOnly(const T *x, T *y, std::size_t n) {
    const std::size_t b = blockLength();
    if (b == 0 || n % b != 0) return mismatch("filterOnly", n, b);
    for (std::size_t i = 0; i < n; i += b)
      Ops::filterOnly(&this->rec_, const_cast<T *>(x + i), y + i);
    return 0;
  }
  int filterUpdate(Span<const T> x, Span<const T> d, Span<T> y, Span<T> e) {
    if (d.size() != x.size() || y.size() != x.size() || e.size() != x.size())
      return this->failed(-2, "filterUpdate", "x.size(), d.size(), y.size(), e.size()",
                          x.size(), d.size(), y.size(), e.size());
    return filterUpdate(x.data(), d.data(), y.data(), e.data(), x.size());
  }
  int filterOnly(Span<const T> x, Span<T> y) {
    if (y.size() != x.size())
      return this->failed(-2, "filterOnly", "x.size(), y.size()", x.size(), y.size());
    return filterOnly(x.data(), y.data(), x.size());
  }

 protected:
  int mismatch(const char *op, std::size_t n, std::size_t b) const {
    return this->failed(-2, op, "samples, blockLength", n, b);
  }

  std::remove_const_t<decltype(Ops::filterUpdate)> update_ = Ops::filterUpdate;
};

}  // namespace quolm::detail

#endif
