// SPDX-License-Identifier: MIT
// quolm Python module: the constructor parameters of the families. A family
// is registered with the list of its parameters in the order of the C++
// constructor; each kind checks and converts its Python value, gives the
// keyword (with its default) and shows itself in repr().
#ifndef QUOLM_PY_PARAMS_HPP
#define QUOLM_PY_PARAMS_HPP

#include <quolm/quolm.hpp>

#include <cmath>
#include <string>
#include <vector>

#include "convert.hpp"

namespace quolmpy {

// A length (taps, block size, partitions, order): shown live by repr().
struct Size {
  const char *name;
  template <class T>
  size_t get(py::handle v) const { return asSize(v, name); }
  py::arg arg() const { return py::arg(name); }
  std::string text(py::handle) const { return ""; }
};

// A step size, forgetting factor, ...: finite, within [lo, hi].
struct Real {
  const char *name;
  double lo = -INFINITY, hi = INFINITY;
  template <class T>
  T get(py::handle v) const {
    const T t = T(asReal(v, name, lo, hi));
    if (!std::isfinite(t)) raise(PyExc_ValueError, std::string(name) + " is out of range of the dtype, got " + show(v));
    return t;
  }
  py::arg arg() const { return py::arg(name); }
  std::string text(py::handle v) const { return std::string(name) + "=" + show(py::float_(asReal(v, name))); }
};

struct Flag {
  const char *name;
  bool byDefault;
  template <class T>
  bool get(py::handle v) const { return asFlag(v, name); }
  py::arg_v arg() const { return py::arg(name) = byDefault; }
  std::string text(py::handle v) const { return std::string(name) + "=" + (asFlag(v, name) ? "True" : "False"); }
};

// The update law of the LMS families, by name.
struct Law {
  static constexpr const char *name = "law";
  static constexpr const char *names[4] = {"plain", "sign_error", "sign_regressor", "sign_sign"};
  template <class T>
  quolm::LmsLaw get(py::handle v) const {
    if (py::isinstance<py::str>(v)) {
      const auto s = v.cast<std::string>();
      for (int i = 0; i < 4; ++i)
        if (s == names[i]) return quolm::LmsLaw(i);
    }
    raise(PyExc_ValueError, "law must be 'plain', 'sign_error', 'sign_regressor' or "
                            "'sign_sign', got " + show(v));
  }
  py::arg_v arg() const { return py::arg("law") = "plain"; }
  std::string text(py::handle v) const { return "law=" + show(v); }
};

// A non-empty array of samples that the filter copies (FIR coefficients,
// secondary paths).
struct Samples {
  const char *name;
  template <class T>
  std::vector<T> get(py::handle v) const {
    const auto a = asSignal<T>(v, name);
    if (a.size() == 0) raise(PyExc_ValueError, std::string(name) + " must hold at least one value");
    return std::vector<T>(a.data(), a.data() + a.size());
  }
  py::arg arg() const { return py::arg(name); }
  std::string text(py::handle) const { return ""; }
};

}  // namespace quolmpy

#endif
