// SPDX-License-Identifier: MIT
// quolm C++ layer: the transversal families (FIR, LMS, NLMS, block LMS and
// NLMS, filtered-x and adjoint LMS). Each class is a template over the sample
// type: float uses libquolm32f, double libquolm64f.
//
// Every family has two constructors: one that allocates (the C Init; the
// destructor releases) and one that takes quolm::callerMemory and the
// caller's buffers (the C InitStatic; sizes as in the C headers, checked).
// Arrays that C keeps by pointer (FIR coefficients, secondary paths) are
// copied into the filter by the allocating constructors and stay the
// caller's with callerMemory. clone() builds a filter of the same
// configuration and copies in the coefficients and the delay line; running
// estimates such as the input power start again from their Init values.
#ifndef QUOLM_TRANSVERSAL_HPP
#define QUOLM_TRANSVERSAL_HPP

#include <algorithm>
#include <cstddef>

#include "process.hpp"

namespace quolm {

// The update law of the LMS and block LMS families.
enum class LmsLaw { plain, signError, signRegressor, signSign };

namespace detail {

template <class T>
struct FirOps : Lengths<QUOLM_CPP_RECORD(Fir)> {
  QUOLM_CPP_OPS(fir, Fir)
  QUOLM_CPP_OP(fir, setCoef, SetCoef)
  QUOLM_CPP_OP(fir, getDelayLine, GetDelayLine)
  QUOLM_CPP_OP(fir, setDelayLine, SetDelayLine)
  QUOLM_CPP_OP(fir, resetDelayLine, ResetDelayLine)
  QUOLM_CPP_OP(fir, filter, Filter)
  QUOLM_CPP_OP(fir, blockFilter, BlockFilter)
};

// The operations of the families with the common transversal set.
#define QUOLM_CPP_TRANSVERSAL_OPS(fam, Name)           \
  QUOLM_CPP_OPS(fam, Name)                            \
  QUOLM_CPP_OP(fam, setCoef, SetCoef)                 \
  QUOLM_CPP_OP(fam, getDelayLine, GetDelayLine)       \
  QUOLM_CPP_OP(fam, setDelayLine, SetDelayLine)       \
  QUOLM_CPP_OP(fam, reset, Reset)                     \
  QUOLM_CPP_OP(fam, resetDelayLine, ResetDelayLine)   \
  QUOLM_CPP_OP(fam, filterUpdate, FilterUpdate)       \
  QUOLM_CPP_OP(fam, filterOnly, FilterOnly)

template <class T>
struct LmsOps : Lengths<QUOLM_CPP_RECORD(Lms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(lms, Lms)
  static constexpr std::remove_const_t<decltype(filterUpdate)> laws[4] = {
      filterUpdate, QUOLM_CPP_FN(lms, FilterUpdateSignErr),
      QUOLM_CPP_FN(lms, FilterUpdateSignReg), QUOLM_CPP_FN(lms, FilterUpdateSignSign)};
};
template <class T>
struct NlmsOps : Lengths<QUOLM_CPP_RECORD(Nlms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(nlms, Nlms)
};
template <class T>
struct BlmsOps : Lengths<QUOLM_CPP_RECORD(Blms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(blms, Blms)
  static constexpr std::remove_const_t<decltype(filterUpdate)> laws[4] = {
      filterUpdate, QUOLM_CPP_FN(blms, FilterUpdateSignErr),
      QUOLM_CPP_FN(blms, FilterUpdateSignReg), QUOLM_CPP_FN(blms, FilterUpdateSignSign)};
};
template <class T>
struct BnlmsOps : Lengths<QUOLM_CPP_RECORD(Bnlms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(bnlms, Bnlms)
};
template <class T>
struct FxlmsOps : Lengths<QUOLM_CPP_RECORD(Fxlms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(fxlms, Fxlms)
  static std::size_t delays(const Record &r) noexcept { return std::size_t(r.refLength); }
};
template <class T>
struct AdjlmsOps : Lengths<QUOLM_CPP_RECORD(Adjlms)> {
  QUOLM_CPP_TRANSVERSAL_OPS(adjlms, Adjlms)
  static std::size_t delays(const Record &r) noexcept { return std::size_t(r.refLength); }
};

// The secondary-path families differ only in their state size.
template <class Ops, class Derived>
class SecondaryPath : public Estimator<Ops> {
  using T = typename Ops::Sample;

 public:
  // N adaptive taps and step mu; the secondary path and its model are copied.
  SecondaryPath(std::size_t n, T mu, Span<const T> secPath, Span<const T> secModel) {
    if (!this->aux_.allocate(add(secPath.size(), secModel.size()), 0)) {
      this->settle(-3, true, "n, mu, secPath.size(), secModel.size()", n, mu,
                   secPath.size(), secModel.size());
      return;
    }
    T *path = this->aux_.values.get(), *model = path + secPath.size();
    std::copy_n(secPath.data(), secPath.size(), path);
    std::copy_n(secModel.data(), secModel.size(), model);
    start(Ops::init(&this->rec_, length(n), mu, path, length(secPath.size()), model,
                    length(secModel.size())),
          true, n, mu, secPath.size(), secModel.size());
  }
  // In caller memory: secPath and secModel stay the caller's; coefBuf holds
  // N values, stateBuf the amount the C header gives for the family.
  SecondaryPath(CallerMemory, std::size_t n, T mu, Span<T> secPath, Span<T> secModel,
                Span<T> coefBuf, Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, n, stateBuf,
                         Derived::stateNeed(n, secPath.size(), secModel.size())))
      start(Ops::initStatic(&this->rec_, length(n), mu, secPath.data(),
                            length(secPath.size()), secModel.data(),
                            length(secModel.size()), coefBuf.data(), stateBuf.data()),
            false, n, mu, secPath.size(), secModel.size());
  }

  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Derived clone() {
    const auto &r = this->rec_;
    return this->cloneInto(
        Derived(this->size(), r.mu, Span<const T>(r.secPath, std::size_t(r.secLength)),
                Span<const T>(r.secModel, std::size_t(r.modelLength))));
  }

 private:
  void start(int code, bool owned, std::size_t n, T mu, std::size_t ns, std::size_t nm) {
    this->settle(code, owned, "n, mu, secPath.size(), secModel.size()", n, mu, ns, nm);
  }
};

}  // namespace detail

// Fixed FIR filter: y = filter(x).
template <class T>
class Fir : public detail::Filter<detail::FirOps<T>> {
  using Ops = detail::FirOps<T>;

 public:
  // A filter with a copy of coefs (N = coefs.size() taps).
  explicit Fir(Span<const T> coefs) {
    if (!this->aux_.allocate(coefs.size(), 0)) {
      this->settle(-3, true, "coefs.size()", coefs.size());
      return;
    }
    std::copy_n(coefs.data(), coefs.size(), this->aux_.values.get());
    this->settle(Ops::init(&this->rec_, detail::length(coefs.size()), this->aux_.values.get()),
                 true, "coefs.size()", coefs.size());
  }
  // In caller memory: the filter reads the caller's coefs (N values) and
  // keeps its delay line in stateBuf (N values).
  Fir(CallerMemory, Span<T> coefs, Span<T> stateBuf) {
    if (this->buffersFit(coefs, coefs.size(), stateBuf, coefs.size()))
      this->settle(Ops::initStatic(&this->rec_, detail::length(coefs.size()), coefs.data(),
                                   stateBuf.data()),
                   false, "coefs.size()", coefs.size());
  }

  T filter(T x) noexcept { return Ops::filter(&this->rec_, x); }
  // Filters n samples (x and y may be the same array).
  void filter(const T *x, T *y, std::size_t n) noexcept {
    for (std::size_t done = 0; done < n;) {  // in chunks the C count can hold
      const std::size_t part = std::min<std::size_t>(n - done, INT32_MAX);
      Ops::blockFilter(&this->rec_, x + done, y + done, DT32S(part));
      done += part;
    }
  }
  int filter(Span<const T> x, Span<T> y) {
    if (y.size() != x.size())
      return this->failed(-2, "filter", "x.size(), y.size()", x.size(), y.size());
    filter(x.data(), y.data(), x.size());
    return 0;
  }

  // Changes N, keeping the leading coefficients (new ones are zero) and the
  // newest samples.
  int resize(std::size_t n) {
    if (n == this->size() || !this->ownsRecord()) return this->resizeTo("n", n);
    // C zeroes the new coefficients in place, so they move to an array of N.
    detail::Aux<T> coefs;
    if (!coefs.allocate(n, 0)) return this->failed(-3, "resize", "n", n);
    std::copy_n(this->rec_.coefs, std::min(n, this->size()), coefs.values.get());
    T *const old = this->rec_.coefs;
    this->rec_.coefs = coefs.values.get();
    const int code = Ops::resize(&this->rec_, detail::length(n));
    if (code < 0) {
      this->rec_.coefs = old;
      return this->failed(code, "resize", "n", n);
    }
    std::swap(this->aux_.values, coefs.values);
    return 0;
  }
  Fir clone() { return this->cloneInto(Fir(Span<const T>(this->rec_.coefs, this->size()))); }
};

// LMS with the plain, sign-error, sign-regressor or sign-sign law.
template <class T>
class Lms : public detail::Estimator<detail::LmsOps<T>> {
  using Ops = detail::LmsOps<T>;

 public:
  Lms(std::size_t n, T mu, LmsLaw law = LmsLaw::plain) : law_(law) {
    this->settle(Ops::init(&this->rec_, detail::length(n), mu), true, "n, mu", n, mu);
    this->update_ = Ops::laws[int(law)];
  }
  // coefBuf and stateBuf hold N values each.
  Lms(CallerMemory, std::size_t n, T mu, Span<T> coefBuf, Span<T> stateBuf,
      LmsLaw law = LmsLaw::plain)
      : law_(law) {
    if (this->buffersFit(coefBuf, n, stateBuf, n))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), mu, coefBuf.data(),
                                   stateBuf.data()),
                   false, "n, mu", n, mu);
    this->update_ = Ops::laws[int(law)];
  }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Lms clone() { return this->cloneInto(Lms(this->size(), this->rec_.mu, law_)); }

 private:
  LmsLaw law_;
};

// Normalised LMS.
template <class T>
class Nlms : public detail::Estimator<detail::NlmsOps<T>> {
  using Ops = detail::NlmsOps<T>;

 public:
  Nlms(std::size_t n, T mu) {
    this->settle(Ops::init(&this->rec_, detail::length(n), mu), true, "n, mu", n, mu);
  }
  // coefBuf and stateBuf hold N values each.
  Nlms(CallerMemory, std::size_t n, T mu, Span<T> coefBuf, Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, n, stateBuf, n))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), mu, coefBuf.data(),
                                   stateBuf.data()),
                   false, "n, mu", n, mu);
  }
  int resize(std::size_t n) { return this->resizeTo("n", n); }
  Nlms clone() { return this->cloneInto(Nlms(this->size(), this->rec_.mu)); }
};

// Block LMS: blocks of blockLen samples, adapting after every sample.
template <class T>
class Blms : public detail::Block<detail::BlmsOps<T>> {
  using Ops = detail::BlmsOps<T>;

 public:
  Blms(std::size_t n, std::size_t blockLen, T mu, LmsLaw law = LmsLaw::plain) : law_(law) {
    this->settle(Ops::init(&this->rec_, detail::length(n), detail::length(blockLen), mu),
                 true, "n, blockLen, mu", n, blockLen, mu);
    this->update_ = Ops::laws[int(law)];
  }
  // coefBuf and stateBuf hold N values each.
  Blms(CallerMemory, std::size_t n, std::size_t blockLen, T mu, Span<T> coefBuf,
       Span<T> stateBuf, LmsLaw law = LmsLaw::plain)
      : law_(law) {
    if (this->buffersFit(coefBuf, n, stateBuf, n))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), detail::length(blockLen),
                                   mu, coefBuf.data(), stateBuf.data()),
                   false, "n, blockLen, mu", n, blockLen, mu);
    this->update_ = Ops::laws[int(law)];
  }
  int resize(std::size_t n, std::size_t blockLen) {
    return this->resizeTo("n, blockLen", n, blockLen);
  }
  Blms clone() {
    return this->cloneInto(Blms(this->size(), this->blockLength(), this->rec_.mu, law_));
  }

 private:
  LmsLaw law_;
};

// Block NLMS.
template <class T>
class Bnlms : public detail::Block<detail::BnlmsOps<T>> {
  using Ops = detail::BnlmsOps<T>;

 public:
  Bnlms(std::size_t n, std::size_t blockLen, T mu) {
    this->settle(Ops::init(&this->rec_, detail::length(n), detail::length(blockLen), mu),
                 true, "n, blockLen, mu", n, blockLen, mu);
  }
  // coefBuf and stateBuf hold N values each.
  Bnlms(CallerMemory, std::size_t n, std::size_t blockLen, T mu, Span<T> coefBuf,
        Span<T> stateBuf) {
    if (this->buffersFit(coefBuf, n, stateBuf, n))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), detail::length(blockLen),
                                   mu, coefBuf.data(), stateBuf.data()),
                   false, "n, blockLen, mu", n, blockLen, mu);
  }
  int resize(std::size_t n, std::size_t blockLen) {
    return this->resizeTo("n, blockLen", n, blockLen);
  }
  Bnlms clone() {
    return this->cloneInto(Bnlms(this->size(), this->blockLength(), this->rec_.mu));
  }
};

// Filtered-x LMS; filterUpdate returns the secondary-path output and
// error() is the error at the error point (output + d).
template <class T>
class Fxlms : public detail::SecondaryPath<detail::FxlmsOps<T>, Fxlms<T>> {
 public:
  using detail::SecondaryPath<detail::FxlmsOps<T>, Fxlms<T>>::SecondaryPath;
  // stateBuf: secLength + N + max(N, modelLength) values.
  static std::size_t stateNeed(std::size_t n, std::size_t ns, std::size_t nm) noexcept {
    return detail::add(detail::add(ns, n), std::max(n, nm));
  }
};

// Adjoint LMS, as Fxlms.
template <class T>
class Adjlms : public detail::SecondaryPath<detail::AdjlmsOps<T>, Adjlms<T>> {
 public:
  using detail::SecondaryPath<detail::AdjlmsOps<T>, Adjlms<T>>::SecondaryPath;
  // stateBuf: N + 2*modelLength + secLength - 1 values.
  static std::size_t stateNeed(std::size_t n, std::size_t ns, std::size_t nm) noexcept {
    const std::size_t need = detail::add(detail::add(n, detail::mul(2, nm)), ns);
    return need == 0 ? 0 : need - 1;
  }
};

}  // namespace quolm

#endif
