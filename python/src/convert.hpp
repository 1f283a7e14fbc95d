// SPDX-License-Identifier: MIT
// quolm Python module: turning Python arguments into what the C++ layer
// takes, with errors that name the Python parameter.
//
// Arrays are converted only where no value can change: float32 filters take
// float16/float32 and integers of up to 16 bits, float64 filters also
// float64 and integers of up to 32 bits (any byte order; non-contiguous
// arrays are copied). Numbers without a dtype (lists) are taken when each
// value is exact in the filter's type. Anything else raises TypeError, so
// that a float64 signal is never rounded to float32 behind the caller's back.
#ifndef QUOLM_PY_CONVERT_HPP
#define QUOLM_PY_CONVERT_HPP

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace quolmpy {

namespace py = pybind11;

[[noreturn]] inline void raise(PyObject *type, const std::string &message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

inline std::string show(py::handle value) { return py::repr(value).cast<std::string>(); }

// Whether every value of dtype `dt` is exact in T.
template <class T>
bool lossless(const py::dtype &dt) {
  const char kind = dt.kind();
  const auto bytes = size_t(dt.itemsize());
  if (kind == 'f') return bytes <= sizeof(T);
  // Integers need fewer value bits than T's significand (24 or 53 bits).
  if (kind == 'i' || kind == 'u') return bytes * 8 < size_t(std::numeric_limits<T>::digits);
  return false;
}

template <class T>
const char *dtypeName() {
  return sizeof(T) == 4 ? "float32" : "float64";
}

// Whether every value of a (numbers without a dtype of their own, such as a
// list) is exact in T.
template <class T>
bool exactValues(const py::array &a) {
  if (a.dtype().kind() != 'f' && a.dtype().kind() != 'i' && a.dtype().kind() != 'u') return false;
  const auto wide = py::array_t<double, py::array::forcecast>::ensure(a);
  const auto back = py::array_t<long long, py::array::forcecast>::ensure(a);
  const double *v = wide.data();
  for (py::ssize_t i = 0; i < wide.size(); ++i) {
    if (a.dtype().kind() != 'f' && (!(std::fabs(v[i]) < 0x1p62) || (long long)(v[i]) != back.data()[i]))
      return false;  // an integer that double rounds
    if (std::isfinite(v[i]) && double(T(v[i])) != v[i]) return false;
  }
  return true;
}

// A 1-D C-contiguous array of T holding `value` (a copy where needed).
template <class T>
py::array_t<T> asSignal(py::handle value, const char *name) {
  py::array a;
  try {
    a = py::array::ensure(value);
  } catch (py::error_already_set &) {
  }
  if (!a) raise(PyExc_TypeError, std::string(name) + " must be an array of numbers, got " + show(value));
  const bool typed = py::isinstance<py::array>(value);
  if (typed ? !lossless<T>(a.dtype()) : !exactValues<T>(a))
    raise(PyExc_TypeError, std::string(name) + (typed ? " has dtype " + show(a.dtype()) + ", which does"
                                                      : " holds values that do")
                               + " not convert to " + dtypeName<T>() + " without loss; pass " +
                               dtypeName<T>() + " samples or build the filter with a wider dtype");
  if (a.ndim() != 1)
    raise(PyExc_ValueError, std::string(name) + " must be one-dimensional, got shape " +
                                show(a.attr("shape")));
  return py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(a);
}

// A size argument: an integer from `lo` to `hi` (by default the C interface's limit).
inline size_t asSize(py::handle value, const char *name, long long lo = 1, long long hi = INT32_MAX) {
  if (!PyIndex_Check(value.ptr()) || PyBool_Check(value.ptr()))
    raise(PyExc_TypeError, std::string(name) + " must be an integer, got " + show(value));
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(py::reinterpret_steal<py::object>(
                                                       PyNumber_Index(value.ptr())).ptr(),
                                                   &overflow);
  if (overflow != 0 || n < lo || n > hi)
    raise(PyExc_ValueError, std::string(name) + " must be an integer from " +
                                std::to_string(lo) + " to " + std::to_string(hi) +
                                ", got " + show(value));
  return size_t(n);
}

// A real parameter: a finite number, optionally within [lo, hi].
inline double asReal(py::handle value, const char *name, double lo = -INFINITY,
                     double hi = INFINITY) {
  const double v = PyFloat_AsDouble(value.ptr());
  if (v == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    raise(PyExc_TypeError, std::string(name) + " must be a number, got " + show(value));
  }
  if (!std::isfinite(v)) raise(PyExc_ValueError, std::string(name) + " must be finite, got " + show(value));
  if (v < lo || v > hi)
    raise(PyExc_ValueError, std::string(name) + " must lie in [" + show(py::float_(lo)) + ", " +
                                show(py::float_(hi)) + "], got " + show(value));
  return v;
}

// A flag: True or False (numpy booleans too).
inline bool asFlag(py::handle value, const char *name) {
  if (PyBool_Check(value.ptr())) return value.ptr() == Py_True;
  if (py::isinstance(value, py::module_::import("numpy").attr("bool_"))) return value.cast<bool>();
  raise(PyExc_TypeError, std::string(name) + " must be True or False, got " + show(value));
}

}  // namespace quolmpy

#endif
