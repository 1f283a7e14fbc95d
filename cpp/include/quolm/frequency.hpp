// SPDX-License-Identifier: MIT
// quolm C++ layer: the frequency-domain families (BFDAF, PBFDAF, TDLMS) and
// their FFT tables.
//
// A filter built without a table set builds and owns its own, for exactly
// its FFT size M: M/2 table values and a few work integers, small beside the
// filter's own state (several M values). Since every transform writes the
// work area of its set, owning one per filter is what lets filters run on
// different threads at once; resize() rebuilds it when M changes.
//
// Callers may instead hand in an FftTables object, which serves every M up
// to its size and must outlive the filters. Its table values are only read,
// so filters share them; each filter still gets a work area of its own (a
// few integers), so filters sharing one FftTables may run at the same time.
// Only the callerMemory constructors, which allocate nothing, use the set's
// own work area: filters made that way from one set must not run at once.
// clone() always gives the copy tables of its own.
#ifndef QUOLM_FREQUENCY_HPP
#define QUOLM_FREQUENCY_HPP

#include <algorithm>
#include <cstddef>

#include "process.hpp"

namespace quolm {
namespace detail {

// The smallest power of two >= span, at least 2; 0 above 2^30, a size no
// table set reaches (then the C Init rejects the filter's sizes).
inline std::size_t fftSizeFor(std::size_t span) noexcept {
  if (span > (std::size_t(1) << 30)) return 0;
  std::size_t m = 2;
  while (m < span) m *= 2;
  return m;
}

// Integers of the fftWork array of a set for M points.
template <class T>
std::size_t workLength(std::size_t m) noexcept {
  return 2 + std::size_t(pick<T>(quolmFftWorkLen32f, quolmFftWorkLen64f)(DT32S(m)));
}

// Builds the table set for M points into aux; false when memory runs out.
template <class T>
bool buildTables(Aux<T> &aux, std::size_t m) noexcept {
  if (!aux.allocate(std::max<std::size_t>(m / 2, 1), workLength<T>(m))) return false;
  pick<T>(quolmFftTables32f, quolmFftTables64f)(DT32S(m), aux.ints.get(), aux.values.get());
  return true;
}

}  // namespace detail

// An FFT table set for transforms of up to size() points, to share between
// frequency-domain filters (see the top of this file).
template <class T>
class FftTables {
 public:
  // size: a power of two from 2 to 2^30.
  explicit FftTables(std::size_t size) {
    if (size < 2 || size > (std::size_t(1) << 30) || (size & (size - 1)) != 0)
      status_ = detail::fail(-2, "FftTables", detail::sampleName<T>(), "", "size", size);
    else if (!detail::buildTables(aux_, size))
      status_ = detail::fail(-3, "FftTables", detail::sampleName<T>(), "", "size", size);
    else
      size_ = size;
  }
  explicit operator bool() const noexcept { return size_ != 0; }
  int status() const noexcept { return status_; }
  std::size_t size() const noexcept { return size_; }
  DT32S *work() noexcept { return aux_.ints.get(); }
  T *table() noexcept { return aux_.values.get(); }

 private:
  detail::Aux<T> aux_;
  std::size_t size_ = 0;
  int status_ = 0;
};

namespace detail {

template <class T>
struct BfdafOps : Lengths<QUOLM_CPP_RECORD(Bfdaf)> {
  QUOLM_CPP_OPS(bfdaf, Bfdaf)
  QUOLM_CPP_OP(bfdaf, setCoef, SetCoef)
  QUOLM_CPP_OP(bfdaf, reset, Reset)
  QUOLM_CPP_OP(bfdaf, resetDelayLine, ResetDelayLine)
  QUOLM_CPP_OP(bfdaf, filterUpdate, FilterUpdate)
  QUOLM_CPP_OP(bfdaf, filterOnly, FilterOnly)
  // coefBuf: M values; stateBuf: (M - B) + 2*M + 2*(M/2 + 1) values.
  static std::size_t coefNeed(std::size_t m, std::size_t, std::size_t) noexcept { return m; }
  static std::size_t stateNeed(std::size_t m, std::size_t b, std::size_t) noexcept {
    return m - std::min(b, m) + 2 * m + 2 * (m / 2 + 1);
  }
};
template <class T>
struct PbfdafOps : Lengths<QUOLM_CPP_RECORD(Pbfdaf)> {
  QUOLM_CPP_OPS(pbfdaf, Pbfdaf)
  QUOLM_CPP_OP(pbfdaf, setCoef, SetCoef)
  QUOLM_CPP_OP(pbfdaf, reset, Reset)
  QUOLM_CPP_OP(pbfdaf, resetDelayLine, ResetDelayLine)
  QUOLM_CPP_OP(pbfdaf, filterUpdate, FilterUpdate)
  QUOLM_CPP_OP(pbfdaf, filterOnly, FilterOnly)
  // The coefficient vector holds every partition: P*N values.
  static std::size_t coefs(const Record &r) noexcept {
    return std::size_t(r.partitions) * std::size_t(r.length);
  }
  // coefBuf: P*M values; stateBuf: (M - B) + (P + 2)*M + M/2 + 1 values.
  static std::size_t coefNeed(std::size_t m, std::size_t, std::size_t p) noexcept {
    return mul(p, m);
  }
  static std::size_t stateNeed(std::size_t m, std::size_t b, std::size_t p) noexcept {
    return add(m - std::min(b, m), add(mul(add(p, 2), m), m / 2 + 1));
  }
};
template <class T>
struct TdlmsOps : Lengths<QUOLM_CPP_RECORD(Tdlms)> {
  QUOLM_CPP_OPS(tdlms, Tdlms)
  QUOLM_CPP_OP(tdlms, setCoef, SetCoef)
  QUOLM_CPP_OP(tdlms, getDelayLine, GetDelayLine)
  QUOLM_CPP_OP(tdlms, setDelayLine, SetDelayLine)
  QUOLM_CPP_OP(tdlms, reset, Reset)
  QUOLM_CPP_OP(tdlms, resetDelayLine, ResetDelayLine)
  QUOLM_CPP_OP(tdlms, filterUpdate, FilterUpdate)
  QUOLM_CPP_OP(tdlms, filterOnly, FilterOnly)
  static std::size_t delays(const Record &r) noexcept { return std::size_t(r.fftSize); }
};

// What the three families share: choosing M, owning or borrowing tables,
// and resizing across a change of M. Shape is Block<Ops> or Estimator<Ops>.
template <class Shape>
class Spectral : public Shape {
 protected:
  using T = typename Shape::T;

  // Sets up the filter's own tables for M points; false (after reporting
  // the failure of the construction) when that cannot be done.
  template <class... V>
  bool ownTables(std::size_t m, const char *names, V... values) {
    if (m == 0) this->settle(-2, true, names, values...);
    else if (!buildTables(this->aux_, m)) this->settle(-3, true, names, values...);
    else return true;
    return false;
  }
  // Gives the filter a work area of its own beside the caller's shared
  // tables; false (after reporting) when the set is empty or memory runs out.
  template <class... V>
  bool ownWork(FftTables<T> &tables, const char *names, V... values) {
    if (!tables) {
      this->settle(-1, true, names, values...);
      return false;
    }
    if (!this->aux_.allocate(0, workLength<T>(tables.size()))) {
      this->settle(-3, true, names, values...);
      return false;
    }
    std::copy_n(tables.work(), 2, work());  // the twiddle and cosine counts
    return true;
  }
  DT32S *work() noexcept { return this->aux_.ints.get(); }
  T *table() noexcept { return this->aux_.values.get(); }

  // Resizes to sizes whose FFT size is m, moving own tables to m first.
  template <class... N>
  int resizeSpectral(std::size_t m, const char *names, N... sizes) {
    auto &r = this->rec_;
    if (!this->aux_.values || std::size_t(r.fftSize) == m || m == 0 || !this->ownsRecord())
      return this->resizeTo(names, sizes...);
    Aux<T> fresh;
    if (!buildTables(fresh, m)) return this->failed(-3, "resize", names, sizes...);
    DT32S *const oldWork = r.fftWork;
    T *const oldTable = r.fftTable;
    r.fftWork = fresh.ints.get();
    r.fftTable = fresh.values.get();
    const int code = Shape::FamilyOps::resize(&r, length(sizes)...);
    if (code < 0) {
      r.fftWork = oldWork, r.fftTable = oldTable;
      return this->failed(code, "resize", names, sizes...);
    }
    std::swap(this->aux_, fresh);
    return 0;
  }
};

// Block-family set-up shared by BFDAF and PBFDAF: M from N + B - 1.
inline std::size_t blockFftSize(std::size_t n, std::size_t b) noexcept {
  return n == 0 || b == 0 ? 2 : fftSizeFor(add(n, b) - 1);
}

}  // namespace detail

// Block frequency-domain adaptive filter: N taps, blocks of blockLen samples,
// constrained (gradient kept to N taps) or not.
template <class T>
class Bfdaf : public detail::Spectral<detail::Block<detail::BfdafOps<T>>> {
  using Ops = detail::BfdafOps<T>;
  static constexpr const char *names = "n, blockLen, mu, constrain";

 public:
  Bfdaf(std::size_t n, std::size_t blockLen, T mu, bool constrain = true) {
    if (this->ownTables(detail::blockFftSize(n, blockLen), names, n, blockLen, mu, constrain))
      start(n, blockLen, mu, constrain, this->work(), this->table());
  }
  Bfdaf(std::size_t n, std::size_t blockLen, T mu, bool constrain, FftTables<T> &tables) {
    if (this->ownWork(tables, names, n, blockLen, mu, constrain))
      start(n, blockLen, mu, constrain, this->work(), tables.table());
  }
  Bfdaf(CallerMemory, std::size_t n, std::size_t blockLen, T mu, bool constrain,
        Span<T> coefBuf, Span<T> stateBuf, FftTables<T> &tables) {
    const std::size_t m = detail::blockFftSize(n, blockLen);
    if (this->buffersFit(coefBuf, Ops::coefNeed(m, blockLen, 1), stateBuf,
                         Ops::stateNeed(m, blockLen, 1)))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), detail::length(blockLen), mu,
                                   constrain, coefBuf.data(), stateBuf.data(), tables.work(),
                                   tables.table()),
                   false, names, n, blockLen, mu, constrain);
  }
  int resize(std::size_t n, std::size_t blockLen) {
    return this->resizeSpectral(detail::blockFftSize(n, blockLen), "n, blockLen", n, blockLen);
  }
  Bfdaf clone() {
    return this->cloneInto(
        Bfdaf(this->size(), this->blockLength(), this->rec_.mu, this->rec_.constrain != 0));
  }

 private:
  void start(std::size_t n, std::size_t b, T mu, bool constrain, DT32S *work, T *table) {
    this->settle(Ops::init(&this->rec_, detail::length(n), detail::length(b), mu, constrain,
                           work, table),
                 true, names, n, b, mu, constrain);
  }
};

// Partitioned-block frequency-domain adaptive filter: P partitions of N taps
// (a P*N-tap response; coefficient copies hold partition 0 first).
template <class T>
class Pbfdaf : public detail::Spectral<detail::Block<detail::PbfdafOps<T>>> {
  using Ops = detail::PbfdafOps<T>;
  static constexpr const char *names = "n, blockLen, partitions, mu, constrain";

 public:
  Pbfdaf(std::size_t n, std::size_t blockLen, std::size_t partitions, T mu,
         bool constrain = true) {
    if (this->ownTables(detail::blockFftSize(n, blockLen), names, n, blockLen, partitions, mu,
                        constrain))
      start(n, blockLen, partitions, mu, constrain, this->work(), this->table());
  }
  Pbfdaf(std::size_t n, std::size_t blockLen, std::size_t partitions, T mu, bool constrain,
         FftTables<T> &tables) {
    if (this->ownWork(tables, names, n, blockLen, partitions, mu, constrain))
      start(n, blockLen, partitions, mu, constrain, this->work(), tables.table());
  }
  Pbfdaf(CallerMemory, std::size_t n, std::size_t blockLen, std::size_t partitions, T mu,
         bool constrain, Span<T> coefBuf, Span<T> stateBuf, FftTables<T> &tables) {
    const std::size_t m = detail::blockFftSize(n, blockLen);
    if (this->buffersFit(coefBuf, Ops::coefNeed(m, blockLen, partitions), stateBuf,
                         Ops::stateNeed(m, blockLen, partitions)))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), detail::length(blockLen),
                                   detail::length(partitions), mu, constrain, coefBuf.data(),
                                   stateBuf.data(), tables.work(), tables.table()),
                   false, names, n, blockLen, partitions, mu, constrain);
  }
  std::size_t partitions() const noexcept { return std::size_t(this->rec_.partitions); }
  int resize(std::size_t n, std::size_t blockLen, std::size_t partitions) {
    return this->resizeSpectral(detail::blockFftSize(n, blockLen),
                                "n, blockLen, partitions", n, blockLen, partitions);
  }
  Pbfdaf clone() {
    return this->cloneInto(Pbfdaf(this->size(), this->blockLength(), partitions(),
                                  this->rec_.mu, this->rec_.constrain != 0));
  }

 private:
  void start(std::size_t n, std::size_t b, std::size_t p, T mu, bool constrain, DT32S *work,
             T *table) {
    this->settle(Ops::init(&this->rec_, detail::length(n), detail::length(b),
                           detail::length(p), mu, constrain, work, table),
                 true, names, n, b, p, mu, constrain);
  }
};

// Transform-domain LMS: a per-sample filter of N taps whose weights adapt in
// the frequency domain of an M-point FFT (M >= N).
template <class T>
class Tdlms : public detail::Spectral<detail::Estimator<detail::TdlmsOps<T>>> {
  using Ops = detail::TdlmsOps<T>;

 public:
  Tdlms(std::size_t n, T mu) {
    if (this->ownTables(detail::fftSizeFor(n), "n, mu", n, mu))
      start(n, mu, this->work(), this->table());
  }
  Tdlms(std::size_t n, T mu, FftTables<T> &tables) {
    if (this->ownWork(tables, "n, mu", n, mu)) start(n, mu, this->work(), tables.table());
  }
  // coefBuf: M values; stateBuf: 2*M + 2*(M/2 + 1) values.
  Tdlms(CallerMemory, std::size_t n, T mu, Span<T> coefBuf, Span<T> stateBuf,
        FftTables<T> &tables) {
    const std::size_t m = detail::fftSizeFor(n);
    if (this->buffersFit(coefBuf, m, stateBuf, 2 * m + 2 * (m / 2 + 1)))
      this->settle(Ops::initStatic(&this->rec_, detail::length(n), mu, coefBuf.data(),
                                   stateBuf.data(), tables.work(), tables.table()),
                   false, "n, mu", n, mu);
  }
  int resize(std::size_t n) { return this->resizeSpectral(detail::fftSizeFor(n), "n", n); }
  Tdlms clone() { return this->cloneInto(Tdlms(this->size(), this->rec_.mu)); }

 private:
  void start(std::size_t n, T mu, DT32S *work, T *table) {
    this->settle(Ops::init(&this->rec_, detail::length(n), mu, work, table), true, "n, mu", n,
                 mu);
  }
};

}  // namespace quolm

#endif
