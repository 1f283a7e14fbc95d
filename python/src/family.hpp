// SPDX-License-Identifier: MIT
// quolm Python module: one registration helper for every family.
//
// A Python filter object holds the C++ layer's filter in the precision its
// dtype chose (F<float> or F<double>) and a mutex. Every call that touches
// the filter runs with the GIL released and the mutex held: filters on
// different threads run at once, and one filter shared by threads is used by
// one call at a time (so a resize can never pull buffers from under a
// running loop). Python objects are only made with the GIL held, outside.
//
// What a family offers is read from its C++ class: the call shape
// (estimator, predictor, block or plain FIR), the vectors it can copy in
// and out, its resize arguments and its record's flags.
#ifndef QUOLM_PY_FAMILY_HPP
#define QUOLM_PY_FAMILY_HPP

#include <atomic>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "params.hpp"

namespace quolmpy {

// Processing calls that ran without the GIL (GIL_RELEASED_CALLS in Python).
inline std::atomic<long long> callsWithoutGil{0};

// Runs fn() with the GIL released and m held: how every object of the module
// touches its C++ object.
template <class Fn>
auto releasedAndLocked(std::mutex &m, Fn &&fn) {
  py::gil_scoped_release nogil;
  std::lock_guard<std::mutex> hold(m);
  if (!PyGILState_Check()) ++callsWithoutGil;
  return fn();
}

template <class O>
O opsOf(const quolm::detail::Filter<O> &);
template <class G>
using OpsOf = decltype(opsOf(std::declval<G &>()));
template <class G>
inline constexpr bool isBlock = std::is_base_of_v<quolm::detail::Block<OpsOf<G>>, G>;
template <class G>
inline constexpr bool isPredictor = std::is_base_of_v<quolm::detail::Predictor<OpsOf<G>>, G>;
template <class G>
inline constexpr bool isEstimator = std::is_base_of_v<quolm::detail::Estimator<OpsOf<G>>, G>;

template <class, class = void>
inline constexpr bool hasReset = false;
template <class O>
inline constexpr bool hasReset<O, std::void_t<decltype(O::reset)>> = true;
template <class, class = void>
inline constexpr bool hasResetDelayLine = false;
template <class O>
inline constexpr bool hasResetDelayLine<O, std::void_t<decltype(O::resetDelayLine)>> = true;
template <class, class = void>
inline constexpr bool hasRlsParcors = false;
template <class O>
inline constexpr bool hasRlsParcors<O, std::void_t<decltype(O::getForwardParcors)>> = true;
template <class, class = void>
inline constexpr bool hasPartitions = false;
template <class G>
inline constexpr bool hasPartitions<G, std::void_t<decltype(std::declval<G &>().partitions())>> = true;
template <class, class = void>
inline constexpr bool tracksCoefs = false;
template <class R>
inline constexpr bool tracksCoefs<R, std::void_t<decltype(R::updateCoefs)>> = true;
template <class, class = void>
inline constexpr bool adaptsParcors = false;
template <class R>
inline constexpr bool adaptsParcors<R, std::void_t<decltype(R::adaptParcor)>> = true;

// Raises the Python form of a failed library call: MemoryError for -3,
// ValueError otherwise, naming the call and its arguments.
[[noreturn]] inline void raiseCode(int code, const std::string &call) {
  raise(code == -3 ? PyExc_MemoryError : PyExc_ValueError,
        call + ": " + quolm::detail::codeMeaning(code) + " (library code " + std::to_string(code) + ")");
}

template <template <class> class F>
class Dual {
 public:
  template <class T, class... A>
  Dual(const char *family, std::string params, std::in_place_type_t<T>, A &&...args)
      : family_(family), params_(std::move(params)),
        f_(std::in_place_type<F<T>>, std::forward<A>(args)...) {}

  bool single() const { return f_.index() == 0; }
  const char *dtypeName() const { return single() ? "float32" : "float64"; }

  // Runs fn(filter) with the GIL released and the filter locked; a failed
  // library call raises its Python exception, naming `call`.
  template <class Fn>
  auto run(const std::string &call, Fn &&fn) {
    return locked(call, [&] { return std::visit(fn, f_); });
  }
  // The same for a filter known to hold samples of type T.
  template <class T, class Fn>
  auto runAs(const std::string &call, Fn &&fn) {
    return locked(call, [&] { return fn(std::get<F<T>>(f_)); });
  }
  // Calls fn(tag) with the GIL held, tag a T* null pointer naming the sample type.
  template <class Fn>
  auto withType(Fn &&fn) {
    return single() ? fn(static_cast<float *>(nullptr)) : fn(static_cast<double *>(nullptr));
  }

  std::string repr() {
    std::string sizes = run("__repr__", [](auto &g) {
      using G = std::decay_t<decltype(g)>;
      std::string s = "n=" + std::to_string(g.size());
      if constexpr (isBlock<G>)
        s += ", block_size=" + std::to_string(g.blockLength());
      if constexpr (hasPartitions<G>) s += ", partitions=" + std::to_string(g.partitions());
      return s;
    });
    return "quolm." + family_ + "(" + sizes + params_ + ", dtype=" + dtypeName() + ")";
  }

  const std::string family_;

 private:
  template <class Fn>
  auto locked(const std::string &call, Fn &&fn) {
    try {
      return releasedAndLocked(mutex_, fn);
    } catch (const quolm::Error &e) {
      raiseCode(e.code(), family_ + "." + call);
    }
  }

  const std::string params_;  // ", mu=0.5" and the like, from construction
  std::variant<F<float>, F<double>> f_;
  std::mutex mutex_;
};

}  // namespace quolmpy

#endif
