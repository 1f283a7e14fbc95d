// SPDX-License-Identifier: MIT
// quolm C++ layer: the owner that every filter class is built on, and the
// binding of a family's C functions to the sample type.
//
// Each family supplies an Ops struct template over the sample type T that
// names its record and functions in the build of T (float: libquolm32f,
// double: libquolm64f). Filter<Ops> owns one record: Init-made records are
// released by the destructor, records in caller memory never are. Estimator,
// Predictor and Block add the processing calls of the three call shapes.
#ifndef QUOLM_FILTER_HPP
#define QUOLM_FILTER_HPP

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "error.hpp"
#include "quolm32f.h"
#include "quolm64f.h"
#include "span.hpp"

namespace quolm {

// Selects the constructors that set a filter up in the caller's buffers
// (the C InitStatic); the filter never releases them.
struct CallerMemory {};
inline constexpr CallerMemory callerMemory{};

namespace detail {

template <class T, class Single, class Double>
using Pick = std::conditional_t<std::is_same_v<T, float>, Single, Double>;

template <class T, class Single, class Double>
constexpr auto pick(Single single, Double dbl) noexcept {
  if constexpr (std::is_same_v<T, float>) return single;
  else return dbl;
}

// Inside an Ops struct template over T: the record and the operation `op` of
// family `fam` in the build of T.
#define QUOLM_CPP_RECORD(Name) \
  ::quolm::detail::Pick<T, ::quolm_c32f::quolm##Name, ::quolm_c64f::quolm##Name>
#define QUOLM_CPP_FN(fam, op) \
  ::quolm::detail::pick<T>(&fam##32f##op, &fam##64f##op)

// The members every family's Ops struct starts with: its record, its name
// and the operations all families have.
#define QUOLM_CPP_OPS(fam, Name)                                 \
  using Sample = T;                                              \
  using Record = QUOLM_CPP_RECORD(Name);                         \
  static constexpr const char *name = #Name;                     \
  static constexpr auto init = QUOLM_CPP_FN(fam, Init);          \
  static constexpr auto initStatic = QUOLM_CPP_FN(fam, InitStatic); \
  static constexpr auto release = QUOLM_CPP_FN(fam, Free);       \
  static constexpr auto resize = QUOLM_CPP_FN(fam, Resize);      \
  static constexpr auto getCoef = QUOLM_CPP_FN(fam, GetCoef);
#define QUOLM_CPP_OP(fam, slot, Op) \
  static constexpr auto slot = QUOLM_CPP_FN(fam, Op);

// Vector lengths of most families (N each); Ops structs shadow what differs.
template <class Record>
struct Lengths {
  static std::size_t coefs(const Record &r) noexcept { return std::size_t(r.length); }
  static std::size_t delays(const Record &r) noexcept { return std::size_t(r.length); }
};

// Whether Ops has the operation `slot`, e.g. has_setCoef<Ops>.
#define QUOLM_CPP_HAS(slot)                                              \
  template <class O, class = void>                                      \
  inline constexpr bool has_##slot = false;                             \
  template <class O>                                                    \
  inline constexpr bool has_##slot<O, std::void_t<decltype(O::slot)>> = true;
QUOLM_CPP_HAS(setCoef)
QUOLM_CPP_HAS(getDelayLine)
QUOLM_CPP_HAS(setDelayLine)
QUOLM_CPP_HAS(setParcor)
#undef QUOLM_CPP_HAS

template <class T>
constexpr const char *sampleName() noexcept {
  return std::is_same_v<T, float> ? "float" : "double";
}

// A size as the C interface takes it. Sizes beyond its range become -1,
// which every Init, InitStatic and Resize rejects with -2.
inline DT32S length(std::size_t n) noexcept {
  return n > std::size_t(INT32_MAX) ? -1 : DT32S(n);
}

// Saturating size arithmetic for buffer needs: an overflowing need becomes
// SIZE_MAX, which no caller buffer meets.
inline std::size_t mul(std::size_t a, std::size_t b) noexcept {
  return b != 0 && a > SIZE_MAX / b ? SIZE_MAX : a * b;
}
inline std::size_t add(std::size_t a, std::size_t b) noexcept {
  return a > SIZE_MAX - b ? SIZE_MAX : a + b;
}

// Arrays a filter owns beside its record, which the record points into:
// copies of the caller arrays that C keeps by pointer (FIR coefficients,
// secondary paths) and FFT tables. Allocated without exceptions.
template <class T>
struct Aux {
  std::unique_ptr<T[]> values;
  std::unique_ptr<DT32S[]> ints;

  // False when memory runs out.
  bool allocate(std::size_t nValues, std::size_t nInts) noexcept {
    if (nValues) values.reset(new (std::nothrow) T[nValues]());
    if (nInts) ints.reset(new (std::nothrow) DT32S[nInts]());
    return (!nValues || values) && (!nInts || ints);
  }
};

template <class Ops>
class Filter {
 public:
  using Sample = typename Ops::Sample;
  using Record = typename Ops::Record;
  static_assert(std::is_same_v<Sample, float> || std::is_same_v<Sample, double>,
                "quolm filters take float (libquolm32f) or double (libquolm64f) samples");

  Filter(const Filter &) = delete;
  Filter &operator=(const Filter &) = delete;
  Filter(Filter &&other) noexcept { take(other); }
  Filter &operator=(Filter &&other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~Filter() { release(); }

  // False for a moved-from filter and one whose construction failed; such a
  // filter may only be destroyed or assigned to.
  explicit operator bool() const noexcept { return live_; }
  // 0, or the code of the failed construction (without exceptions).
  int status() const noexcept { return status_; }
  // The C record, for the fields and operations the layer does not wrap.
  Record &record() noexcept { return rec_; }
  const Record &record() const noexcept { return rec_; }
  // N, the family's main length (taps, stages or order).
  std::size_t size() const noexcept { return std::size_t(rec_.length); }
  std::size_t coefCount() const noexcept { return Ops::coefs(rec_); }

  // Returns the coefficients to their start values (the family's Reset).
  int reset() { return checked(Ops::reset(&rec_), "reset", "size", size()); }

  // Copies of whole vectors: each range must hold exactly the vector's
  // length (coefCount(), delayLineCount(), size() for parcors); otherwise
  // nothing is copied and the call fails with -2. Returns the count copied.
  // Copying out takes a writable filter because some families' C Get
  // operations normalise state (the PBFDAF constrains its partitions).
  int getCoefs(Span<Sample> out) {
    return copy(Ops::getCoef, out.data(), out.size(), coefCount(), "getCoefs");
  }
  int setCoefs(Span<const Sample> in) {
    static_assert(has_setCoef<Ops>, "this family's coefficients are read-only");
    return copy(Ops::setCoef, const_cast<Sample *>(in.data()), in.size(), coefCount(),
                "setCoefs");
  }
  std::size_t delayLineCount() const noexcept { return Ops::delays(rec_); }
  int getDelayLine(Span<Sample> out) {
    return copy(Ops::getDelayLine, out.data(), out.size(), delayLineCount(),
                "getDelayLine");
  }
  int setDelayLine(Span<const Sample> in) {
    return copy(Ops::setDelayLine, const_cast<Sample *>(in.data()), in.size(),
                delayLineCount(), "setDelayLine");
  }
  int resetDelayLine() {
    return checked(Ops::resetDelayLine(&rec_), "resetDelayLine", "size", size());
  }
  // Reflection coefficients of the gradient lattice families (size() each).
  int getParcors(Span<Sample> out) {
    return copy(Ops::getParcor, out.data(), out.size(), size(), "getParcors");
  }
  int setParcors(Span<const Sample> in) {
    return copy(Ops::setParcor, const_cast<Sample *>(in.data()), in.size(), size(),
                "setParcors");
  }

 protected:
  Filter() noexcept = default;

  // Reports a failure of operation `op` of this family.
  template <class... V>
  int failed(int code, const char *op, const char *names, V... values) const {
    return fail(code, Ops::name, sampleName<Sample>(), op, names, values...);
  }
  template <class... V>
  int checked(int code, const char *op, const char *names, V... values) const {
    return code < 0 ? failed(code, op, names, values...) : code;
  }

  // Checks the caller's InitStatic buffers against what the family needs;
  // false (after reporting -2) when one is too small.
  bool buffersFit(Span<Sample> coefBuf, std::size_t coefNeed, Span<Sample> stateBuf,
                  std::size_t stateNeed) {
    if (coefBuf.size() >= coefNeed && stateBuf.size() >= stateNeed) return true;
    settle(-2, false, "coefBuf.size(), needed, stateBuf.size(), needed", coefBuf.size(),
           coefNeed, stateBuf.size(), stateNeed);
    return false;
  }

  // Completes a construction from the code of Init (owned) or InitStatic.
  template <class... V>
  int settle(int code, bool owned, const char *names, V... values) {
    if (code < 0) {
      status_ = code;
      rec_ = Record{};
      aux_ = Aux<Sample>{};
      return failed(code, "", names, values...);
    }
    live_ = true;
    owned_ = owned;
    return 0;
  }

  bool ownsRecord() const noexcept { return live_ && owned_; }

  // Runs the family's Resize on an Init-made filter.
  template <class... N>
  int resizeTo(const char *names, N... sizes) {
    if (!ownsRecord()) return failed(-2, "resize (empty or in caller memory)", names, sizes...);
    return checked(Ops::resize(&rec_, length(sizes)...), "resize", names, sizes...);
  }

  // Gives `copy` (a fresh filter of the same configuration) every vector
  // this family can write back: coefficients, parcors and the delay line.
  template <class F>
  F cloneInto(F copy) {
    static_assert(has_setCoef<Ops>, "this family's coefficients cannot be written back");
    if (!copy) return copy;
    Aux<Sample> scratch;
    if (!scratch.allocate(std::max({coefCount(), delayLineCountIfAny(), size()}), 0)) {
      copy.release();
      copy.status_ = -3;
      copy.failed(-3, "clone", "size", size());
      return copy;
    }
    Sample *t = scratch.values.get();
    copy.setCoefs(Span<const Sample>(t, std::size_t(getCoefs(Span<Sample>(t, coefCount())))));
    if constexpr (has_setParcor<Ops>) {
      copy.setParcors(Span<const Sample>(t, std::size_t(getParcors(Span<Sample>(t, size())))));
    }
    if constexpr (has_setDelayLine<Ops>) {
      copy.setDelayLine(
          Span<const Sample>(t, std::size_t(getDelayLine(Span<Sample>(t, delayLineCount())))));
    }
    return copy;
  }

  // A copy of a whole vector through the C Get or Set operation fn.
  template <class F>
  int copy(F fn, Sample *values, std::size_t n, std::size_t want, const char *op) {
    if (n != want || n == 0) return failed(-2, op, "size, expected", n, want);
    return checked(fn(&rec_, values, 0, length(n), 0), op, "size", n);
  }

  using FamilyOps = Ops;
  Record rec_{};
  Aux<Sample> aux_;

 private:
  std::size_t delayLineCountIfAny() const noexcept {
    if constexpr (has_getDelayLine<Ops>) return delayLineCount();
    else return 0;
  }

  void take(Filter &other) noexcept {
    rec_ = other.rec_;
    aux_ = std::move(other.aux_);
    live_ = other.live_;
    owned_ = other.owned_;
    status_ = other.status_;
    other.forget();
  }
  void release() noexcept {
    if (live_ && owned_) Ops::release(&rec_);
    aux_ = Aux<Sample>{};
    forget();
  }
  void forget() noexcept {
    rec_ = Record{};
    live_ = owned_ = false;
    status_ = 0;
  }

  bool live_ = false;
  bool owned_ = false;
  int status_ = 0;
};

}  // namespace detail
}  // namespace quolm

#endif
