// SPDX-License-Identifier: MIT
// quolm C++ layer: the gradient lattice families (LMS lattice joint-process
// estimator, backward and forward lattice prediction error filters). The
// constructors and clone() follow transversal.hpp; getParcors/setParcors
// copy the N reflection coefficients.
#ifndef QUOLM_LATTICE_HPP
#define QUOLM_LATTICE_HPP

#include <cstddef>

#include "process.hpp"

namespace quolm {
namespace detail {

#define QUOLM_CPP_LATTICE_OPS(fam, Name)             \
  QUOLM_CPP_OPS(fam, Name)                          \
  QUOLM_CPP_OP(fam, setCoef, SetCoef)               \
  QUOLM_CPP_OP(fam, getParcor, GetParcor)           \
  QUOLM_CPP_OP(fam, setParcor, SetParcor)           \
  QUOLM_CPP_OP(fam, getDelayLine, GetDelayLine)     \
  QUOLM_CPP_OP(fam, setDelayLine, SetDelayLine)     \
  QUOLM_CPP_OP(fam, reset, Reset)                   \
  QUOLM_CPP_OP(fam, filterUpdate, FilterUpdate)     \
  QUOLM_CPP_OP(fam, filterOnly, FilterOnly)

template <class T>
struct LmslatticeOps : Lengths<QUOLM_CPP_RECORD(Lmslattice)> {
  QUOLM_CPP_LATTICE_OPS(lmslattice, Lmslattice)
};
template <class T>
struct LbpefOps : Lengths<QUOLM_CPP_RECORD(Lbpef)> {
  QUOLM_CPP_LATTICE_OPS(lbpef, Lbpef)
};
template <class T>
struct LfpefOps : Lengths<QUOLM_CPP_RECORD(Lfpef)> {
  QUOLM_CPP_LATTICE_OPS(lfpef, Lfpef)
};

// The two predictors differ only in their state size (stateNeed(N)).
template <class Ops, class Derived>
class LatticePredictor : public Predictor<Ops> {
  using T = typename Ops::Sample;

 public:
  // Order N, step mu.
  LatticePredictor(std::size_t n, T mu) {
    this->settle(Ops::init(&this->rec_, length(n), mu), true, "n, mu", n, mu);
  }
  // coefBuf: 2N values; stateBuf: Derived::stateNeed(N) values.
  LatticePredictor(CallerMemory, std::size_t n, T mu, Span<T> coefBuf, Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, mul(2, n), stateBuf, Derived::stateNeed(n)))
      this->settle(Ops::initStatic(&this->rec_, length(n), mu, coefBuf.data(), stateBuf.data()),
                   false, "n, mu", n, mu);
  }
  // While set (after construction), each update also derives the
  // direct-form coefficients, at O(N^2) per sample.
  void trackCoefs(bool on) noexcept { this->rec_.updateCoefs = on; }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Derived clone() {
    Derived copy = this->cloneInto(Derived(this->size(), this->rec_.mu));
    copy.trackCoefs(this->rec_.updateCoefs != 0);
    return copy;
  }
};

}  // namespace detail

// LMS lattice joint-process estimator: N ladder coefficients on N-1 stages.
template <class T>
class Lmslattice : public detail::Estimator<detail::LmslatticeOps<T>> {
  using Ops = detail::LmslatticeOps<T>;

 public:
  Lmslattice(std::size_t n, T muParcor, T muCoef) {
    this->settle(Ops::init(&this->rec_, detail::length(n), muParcor, muCoef), true,
                 "n, muParcor, muCoef", n, muParcor, muCoef);
  }
  // coefBuf: 2N values; stateBuf: 3N values.
  Lmslattice(CallerMemory, std::size_t n, T muParcor, T muCoef, Span<T> coefBuf,
             Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, detail::mul(2, n), stateBuf, detail::mul(3, n)))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), muParcor, muCoef,
                                   coefBuf.data(), stateBuf.data()),
                   false, "n, muParcor, muCoef", n, muParcor, muCoef);
  }
  // false freezes the reflection coefficients.
  void adaptParcors(bool on) noexcept { this->rec_.adaptParcor = on; }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Lmslattice clone() {
    Lmslattice copy =
        this->cloneInto(Lmslattice(this->size(), this->rec_.muParcor, this->rec_.muCoef));
    copy.adaptParcors(this->rec_.adaptParcor != 0);
    return copy;
  }
};

// Lattice backward prediction error filter of order N.
template <class T>
class Lbpef : public detail::LatticePredictor<detail::LbpefOps<T>, Lbpef<T>> {
 public:
  using detail::LatticePredictor<detail::LbpefOps<T>, Lbpef<T>>::LatticePredictor;
  static std::size_t stateNeed(std::size_t n) noexcept {
    return detail::mul(4, detail::add(n, 1));
  }
};

// Lattice forward prediction error filter of order N.
template <class T>
class Lfpef : public detail::LatticePredictor<detail::LfpefOps<T>, Lfpef<T>> {
 public:
  using detail::LatticePredictor<detail::LfpefOps<T>, Lfpef<T>>::LatticePredictor;
  static std::size_t stateNeed(std::size_t n) noexcept {
    return detail::mul(3, detail::add(n, 1));
  }
};

}  // namespace quolm

#endif
