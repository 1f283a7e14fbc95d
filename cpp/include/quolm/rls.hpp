// SPDX-License-Identifier: MIT
// quolm C++ layer: the recursive-least-squares families (transversal RLS,
// RLS lattice joint-process estimator, RLS lattice backward and forward
// prediction error filters). The constructors follow transversal.hpp.
//
// Only the transversal RLS can write its coefficients back, so it alone has
// clone() (whose inverse correlation matrix starts again at delta*I); the
// lattice families offer read-only copies of their coefficients and of the
// forward and backward reflection coefficients.
#ifndef QUOLM_RLS_HPP
#define QUOLM_RLS_HPP

#include <cstddef>

#include "process.hpp"

namespace quolm {
namespace detail {

template <class T>
struct RlsOps : Lengths<QUOLM_CPP_RECORD(Rls)> {
  QUOLM_CPP_OPS(rls, Rls)
  QUOLM_CPP_OP(rls, setCoef, SetCoef)
  QUOLM_CPP_OP(rls, getDelayLine, GetDelayLine)
  QUOLM_CPP_OP(rls, setDelayLine, SetDelayLine)
  QUOLM_CPP_OP(rls, reset, Reset)
  QUOLM_CPP_OP(rls, resetDelayLine, ResetDelayLine)
  QUOLM_CPP_OP(rls, filterUpdate, FilterUpdate)
  QUOLM_CPP_OP(rls, filterOnly, FilterOnly)
};

#define QUOLM_CPP_RLSLATTICE_OPS(fam, Name)                   \
  QUOLM_CPP_OPS(fam, Name)                                   \
  QUOLM_CPP_OP(fam, getForwardParcors, GetForwardParcors)    \
  QUOLM_CPP_OP(fam, getBackwardParcors, GetBackwardParcors)  \
  QUOLM_CPP_OP(fam, getDelayLine, GetDelayLine)              \
  QUOLM_CPP_OP(fam, setDelayLine, SetDelayLine)              \
  QUOLM_CPP_OP(fam, reset, Reset)                            \
  QUOLM_CPP_OP(fam, filterUpdate, FilterUpdate)              \
  QUOLM_CPP_OP(fam, filterOnly, FilterOnly)

template <class T>
struct RlslatticeOps : Lengths<QUOLM_CPP_RECORD(Rlslattice)> {
  QUOLM_CPP_RLSLATTICE_OPS(rlslattice, Rlslattice)
};
template <class T>
struct RlslbpefOps : Lengths<QUOLM_CPP_RECORD(Rlslbpef)> {
  QUOLM_CPP_RLSLATTICE_OPS(rlslbpef, Rlslbpef)
};
template <class T>
struct RlslfpefOps : Lengths<QUOLM_CPP_RECORD(Rlslfpef)> {
  QUOLM_CPP_RLSLATTICE_OPS(rlslfpef, Rlslfpef)
};

// The three RLS lattice families: N stages, forgetting factor lambda;
// Shape is Estimator<Ops> or Predictor<Ops>, Derived gives stateNeed(N).
template <class Shape, class Derived>
class RlsLattice : public Shape {
  using T = typename Shape::T;
  using Ops = typename Shape::FamilyOps;

 public:
  RlsLattice(std::size_t n, T lambda) {
    this->settle(Ops::init(&this->rec_, length(n), lambda), true, "n, lambda", n, lambda);
  }
  // coefBuf: 3N values; stateBuf: Derived::stateNeed(N) values.
  RlsLattice(CallerMemory, std::size_t n, T lambda, Span<T> coefBuf, Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, mul(3, n), stateBuf, Derived::stateNeed(n)))
      this->settle(
          Ops::initStatic(&this->rec_, length(n), lambda, coefBuf.data(), stateBuf.data()),
          false, "n, lambda", n, lambda);
  }
  int getForwardParcors(Span<T> out) {
    return this->copy(Ops::getForwardParcors, out.data(), out.size(), this->size(),
                      "getForwardParcors");
  }
  int getBackwardParcors(Span<T> out) {
    return this->copy(Ops::getBackwardParcors, out.data(), out.size(), this->size(),
                      "getBackwardParcors");
  }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
};

}  // namespace detail

// Exponentially weighted RLS of N taps; P starts at delta*I, delta in (0, 1].
template <class T>
class Rls : public detail::Estimator<detail::RlsOps<T>> {
  using Ops = detail::RlsOps<T>;

 public:
  Rls(std::size_t n, T lambda, T delta) : delta_(delta) {
    this->settle(Ops::init(&this->rec_, detail::length(n), lambda, delta), true,
                 "n, lambda, delta", n, lambda, delta);
  }
  // coefBuf: N values; stateBuf: N(N+1)/2 + 2N values.
  Rls(CallerMemory, std::size_t n, T lambda, T delta, Span<T> coefBuf, Span<T> stateBuf)
      : delta_(delta) {
    const std::size_t state =
        detail::add(detail::mul(n, detail::add(n, 1)) / 2, detail::mul(2, n));
    if (this->buffersFit(coefBuf, n, stateBuf, state))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), lambda, delta,
                                   coefBuf.data(), stateBuf.data()),
                   false, "n, lambda, delta", n, lambda, delta);
  }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Rls clone() { return this->cloneInto(Rls(this->size(), this->rec_.lambda, delta_)); }

 private:
  T delta_;
};

// RLS lattice joint-process estimator.
template <class T>
class Rlslattice
    : public detail::RlsLattice<detail::Estimator<detail::RlslatticeOps<T>>, Rlslattice<T>> {
 public:
  using detail::RlsLattice<detail::Estimator<detail::RlslatticeOps<T>>,
                           Rlslattice<T>>::RlsLattice;
  static std::size_t stateNeed(std::size_t n) noexcept { return detail::mul(6, n); }
};

// RLS lattice backward prediction error filter.
template <class T>
class Rlslbpef
    : public detail::RlsLattice<detail::Predictor<detail::RlslbpefOps<T>>, Rlslbpef<T>> {
 public:
  using detail::RlsLattice<detail::Predictor<detail::RlslbpefOps<T>>, Rlslbpef<T>>::RlsLattice;
  static std::size_t stateNeed(std::size_t n) noexcept {
    return detail::add(detail::mul(6, n), 1);
  }
};

// RLS lattice forward prediction error filter.
template <class T>
class Rlslfpef
    : public detail::RlsLattice<detail::Predictor<detail::RlslfpefOps<T>>, Rlslfpef<T>> {
 public:
  using detail::RlsLattice<detail::Predictor<detail::RlslfpefOps<T>>, Rlslfpef<T>>::RlsLattice;
  static std::size_t stateNeed(std::size_t n) noexcept { return detail::mul(5, n); }
};

}  // namespace quolm

#endif
