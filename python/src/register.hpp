// SPDX-License-Identifier: MIT
// quolm Python module: bindFamily<F>(module, name, doc, params...) makes the
// Python class of the C++ layer's family F, with the constructor parameters
// `params` (see params.hpp) and the calls its shape offers:
//
//   estimator  y, e = f.filter_update(x, d)   y = f.filter(x)      y, e = f.step(x, d)
//   predictor  y, e = f.filter_update(x)      y, e = f.filter(x)   y, e = f.step(x)
//   block      y, e = f.filter_update(x, d)   y = f.filter(x)      (whole blocks)
//   FIR        y = f.filter(x)                                     y = f.step(x)
#ifndef QUOLM_PY_REGISTER_HPP
#define QUOLM_PY_REGISTER_HPP

#include <string>
#include <vector>

#include "family.hpp"

namespace quolmpy {

template <class>
using Object = py::object;

// Whether dtype asks for the 32f build (else the 64f build).
inline bool singleDtype(py::handle dtype) {
  const auto dt = py::dtype::from_args(py::reinterpret_borrow<py::object>(dtype));
  if (dt.kind() == 'f' && dt.itemsize() == 4) return true;
  if (dt.kind() == 'f' && dt.itemsize() == 8) return false;
  raise(PyExc_TypeError, "dtype must be numpy.float32 or numpy.float64, got " + show(dtype));
}

// A sample value of a per-sample call, rounded to the filter's dtype.
template <class T>
T sample(py::handle v, const char *name) {
  const double x = PyFloat_AsDouble(v.ptr());
  if (x == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    raise(PyExc_TypeError, std::string(name) + " must be a number, got " + show(v));
  }
  return T(x);
}

template <class T>
using Out = py::array_t<T>;

// A copy of a whole vector: get(g, span) fills count(g) values.
template <template <class> class F, class Count, class Get>
py::array copyOut(Dual<F> &self, const char *what, Count count, Get get) {
  return self.withType([&](auto *tag) -> py::array {
    using T = std::remove_pointer_t<decltype(tag)>;
    auto v = self.template runAs<T>(what, [&](F<T> &g) {
      std::vector<T> out(count(g));
      get(g, quolm::Span<T>(out));
      return out;
    });
    return Out<T>(py::ssize_t(v.size()), v.data());
  });
}

// Writes a whole vector: value must hold exactly count(g) samples.
template <template <class> class F, class Count, class Set>
void copyIn(Dual<F> &self, const char *what, py::handle value, Count count, Set set) {
  self.withType([&](auto *tag) {
    using T = std::remove_pointer_t<decltype(tag)>;
    const auto a = asSignal<T>(value, what);
    const size_t want = self.template runAs<T>(what, [&](F<T> &g) -> size_t {
      const size_t n = count(g);
      if (size_t(a.size()) == n) set(g, quolm::Span<const T>(a.data(), n));
      return n;
    });
    if (size_t(a.size()) != want)
      raise(PyExc_ValueError, std::string(what) + " must hold " + std::to_string(want) +
                                  " values, got " + std::to_string(a.size()));
  });
}

// Signals x and d of one length.
template <class T>
std::pair<py::array_t<T>, py::array_t<T>> signalPair(py::handle x, py::handle d) {
  auto xs = asSignal<T>(x, "x");
  auto ds = asSignal<T>(d, "d");
  if (xs.size() != ds.size())
    raise(PyExc_ValueError, "x and d must have the same length, got " + std::to_string(xs.size()) +
                                " and " + std::to_string(ds.size()));
  return {xs, ds};
}

// Raises ValueError unless n samples are whole blocks of b.
inline void wholeBlocks(size_t n, size_t b) {
  if (b != 0 && n % b != 0)
    raise(PyExc_ValueError, "len(x) = " + std::to_string(n) +
                                " is not a whole number of blocks of block_size = " +
                                std::to_string(b));
}

template <template <class> class F>
void defProcessing(py::class_<Dual<F>> &cls) {
  using D = Dual<F>;
  using G = F<float>;
  if constexpr (isEstimator<G> || isBlock<G>) {
    // Block families take whole blocks only; the others any length.
    cls.def("filter_update", [](D &self, py::handle x, py::handle d) {
      return self.withType([&](auto *tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        auto [xs, ds] = signalPair<T>(x, d);
        const size_t n = size_t(xs.size());
        Out<T> y(xs.size()), e(xs.size());
        const T *xp = xs.data(), *dp = ds.data();
        T *yp = y.mutable_data(), *ep = e.mutable_data();
        wholeBlocks(n, self.template runAs<T>("filter_update", [&](F<T> &g) -> size_t {
          size_t b = 1;
          if constexpr (isBlock<G>) b = g.blockLength();
          if (n % b == 0) g.filterUpdate(xp, dp, yp, ep, n);
          return b;
        }));
        return py::make_tuple(y, e);
      });
    }, py::arg("x"), py::arg("d"),
       isBlock<G> ? "Filters x block by block, adapting toward d; len(x) must be a multiple of "
                    "block_size. Returns (output, error) arrays."
                  : "Filters x, adapting toward d; returns (output, error) arrays.");
  }
  if constexpr (isEstimator<G>) {
    cls.def("step", [](D &self, py::handle x, py::handle d) {
      return self.withType([&](auto *tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        const T xv = sample<T>(x, "x"), dv = sample<T>(d, "d");
        auto [y, e] = self.template runAs<T>("step", [&](F<T> &g) {
          const T out = g.filterUpdate(xv, dv);
          return std::pair<T, T>(out, g.error());
        });
        return py::make_tuple(y, e);
      });
    }, py::arg("x"), py::arg("d"), "One sample of filter_update: returns (output, error).");
  }
  if constexpr (isPredictor<G>) {
    auto both = [](const char *call, bool adapt) {
      return [call, adapt](D &self, py::handle x) {
        return self.withType([&](auto *tag) {
          using T = std::remove_pointer_t<decltype(tag)>;
          auto xs = asSignal<T>(x, "x");
          const size_t n = size_t(xs.size());
          Out<T> y(xs.size()), e(xs.size());
          const T *xp = xs.data();
          T *yp = y.mutable_data(), *ep = e.mutable_data();
          self.template runAs<T>(call, [&](F<T> &g) {
            if (adapt) g.filterUpdate(xp, yp, ep, n);
            else g.filterOnly(xp, yp, ep, n);
          });
          return py::make_tuple(y, e);
        });
      };
    };
    cls.def("filter_update", both("filter_update", true), py::arg("x"),
            "Runs x through the adapting predictor; returns (output, prediction error).");
    cls.def("filter", both("filter", false), py::arg("x"),
            "Runs x through the predictor without adapting; returns (output, prediction error).");
    cls.def("step", [](D &self, py::handle x) {
      return self.withType([&](auto *tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        const T xv = sample<T>(x, "x");
        auto [y, e] = self.template runAs<T>("step", [&](F<T> &g) {
          const T out = g.filterUpdate(xv);
          return std::pair<T, T>(out, g.error());
        });
        return py::make_tuple(y, e);
      });
    }, py::arg("x"), "One sample of filter_update: returns (output, prediction error).");
  }
  if constexpr (!isPredictor<G>) {
    cls.def("filter", [](D &self, py::handle x) {
      return self.withType([&](auto *tag) -> py::object {
        using T = std::remove_pointer_t<decltype(tag)>;
        auto xs = asSignal<T>(x, "x");
        const size_t n = size_t(xs.size());
        Out<T> y(xs.size());
        const T *xp = xs.data();
        T *yp = y.mutable_data();
        const size_t b = self.template runAs<T>("filter", [&](F<T> &g) -> size_t {
          if constexpr (isBlock<G>) {
            if (n % g.blockLength() != 0) return g.blockLength();
            g.filterOnly(xp, yp, n);
            return g.blockLength();
          } else if constexpr (isEstimator<G>) {
            g.filterOnly(xp, yp, n);
          } else {
            g.filter(xp, yp, n);
          }
          return 1;
        });
        wholeBlocks(n, b);
        return std::move(y);
      });
    }, py::arg("x"), "Filters x without adapting; returns the output array.");
  }
  if constexpr (!isEstimator<G> && !isBlock<G> && !isPredictor<G>) {
    cls.def("step", [](D &self, py::handle x) {
      return self.withType([&](auto *tag) -> py::object {
        using T = std::remove_pointer_t<decltype(tag)>;
        const T xv = sample<T>(x, "x");
        return py::float_(self.template runAs<T>("step", [&](F<T> &g) { return g.filter(xv); }));
      });
    }, py::arg("x"), "Filters one sample; returns the output.");
  }
}


// "resize(n=8, block_size=4)" for error messages; 0 is a size left as it was.
inline std::string resizeCall(size_t n, size_t b = 0, size_t p = 0) {
  return "resize(n=" + std::to_string(n) + (b ? ", block_size=" + std::to_string(b) : "") +
         (p ? ", partitions=" + std::to_string(p) : "") + ")";
}

// reset(), resize(), the vector properties, sizes and flags.
template <template <class> class F>
void defState(py::class_<Dual<F>> &cls) {
  using D = Dual<F>;
  using G = F<float>;
  using Ops = OpsOf<G>;
  using Record = typename G::Record;
  cls.def("reset", [](D &self) {
    self.run("reset", [](auto &g) {
      if constexpr (hasReset<Ops>) g.reset();
      else g.resetDelayLine();  // a fixed FIR has only its history to clear
    });
  }, hasReset<Ops> ? "Returns the filter to its start values." : "Clears the delay line.");
  if constexpr (hasReset<Ops> && hasResetDelayLine<Ops>)
    cls.def("reset_delay_line", [](D &self) { self.run("reset_delay_line", [](auto &g) { g.resetDelayLine(); }); },
            "Clears the delay line, keeping the coefficients.");

  if constexpr (isBlock<G> && hasPartitions<G>) {
    cls.def("resize", [](D &self, py::handle n, py::handle b, py::handle p) {
      const size_t nn = asSize(n, "n"), bb = b.is_none() ? 0 : asSize(b, "block_size"),
                   pp = p.is_none() ? 0 : asSize(p, "partitions");
      self.run(resizeCall(nn, bb, pp), [&](auto &g) {
        g.resize(nn, bb ? bb : g.blockLength(), pp ? pp : g.partitions());
      });
    }, py::arg("n"), py::arg("block_size") = py::none(), py::arg("partitions") = py::none(),
       "Changes the sizes (None keeps one), keeping the leading coefficients.");
  } else if constexpr (isBlock<G>) {
    cls.def("resize", [](D &self, py::handle n, py::handle b) {
      const size_t nn = asSize(n, "n"), bb = b.is_none() ? 0 : asSize(b, "block_size");
      self.run(resizeCall(nn, bb), [&](auto &g) { g.resize(nn, bb ? bb : g.blockLength()); });
    }, py::arg("n"), py::arg("block_size") = py::none(),
       "Changes the sizes (None keeps one), keeping the leading coefficients.");
  } else {
    cls.def("resize", [](D &self, py::handle n) {
      const size_t nn = asSize(n, "n");
      self.run(resizeCall(nn), [&](auto &g) { g.resize(nn); });
    }, py::arg("n"), "Changes n, keeping the leading coefficients.");
  }

  const auto coefs = [](auto &g) { return g.coefCount(); };
  const auto stages = [](auto &g) { return g.size(); };
  auto getter = [](const char *what, auto count, auto get) {
    return [=](D &self) { return copyOut(self, what, count, get); };
  };
  auto setter = [](const char *what, auto count, auto set) {
    return [=](D &self, py::handle v) { copyIn(self, what, v, count, set); };
  };
  const auto getCoefs = getter("coefficients", coefs, [](auto &g, auto s) { g.getCoefs(s); });
  if constexpr (quolm::detail::has_setCoef<Ops>)
    cls.def_property("coefficients", getCoefs,
                     setter("coefficients", coefs, [](auto &g, auto s) { g.setCoefs(s); }),
                     "A copy of the coefficients (settable).");
  else
    cls.def_property_readonly("coefficients", getCoefs, "A copy of the coefficients.");
  if constexpr (quolm::detail::has_getDelayLine<Ops>) {
    const auto delays = [](auto &g) { return g.delayLineCount(); };
    cls.def_property("delay_line", getter("delay_line", delays, [](auto &g, auto s) { g.getDelayLine(s); }),
                     setter("delay_line", delays, [](auto &g, auto s) { g.setDelayLine(s); }),
                     "A copy of the delay line, newest sample first (settable).");
  }
  if constexpr (quolm::detail::has_setParcor<Ops>)
    cls.def_property("parcors", getter("parcors", stages, [](auto &g, auto s) { g.getParcors(s); }),
                     setter("parcors", stages, [](auto &g, auto s) { g.setParcors(s); }),
                     "A copy of the reflection coefficients (settable).");
  if constexpr (hasRlsParcors<Ops>) {
    cls.def_property_readonly("forward_parcors", getter("forward_parcors", stages,
                              [](auto &g, auto s) { g.getForwardParcors(s); }),
                              "A copy of the forward reflection coefficients.");
    cls.def_property_readonly("backward_parcors", getter("backward_parcors", stages,
                              [](auto &g, auto s) { g.getBackwardParcors(s); }),
                              "A copy of the backward reflection coefficients.");
  }

  cls.def_property_readonly("n", [](D &self) { return self.run("n", [](auto &g) { return g.size(); }); },
                            "The main length: taps, or stages for the lattices.");
  cls.def_property_readonly("dtype", [](D &self) { return py::dtype(self.dtypeName()); });
  if constexpr (isBlock<G>)
    cls.def_property_readonly("block_size", [](D &self) {
      return self.run("block_size", [](auto &g) { return g.blockLength(); });
    });
  if constexpr (hasPartitions<G>)
    cls.def_property_readonly("partitions", [](D &self) {
      return self.run("partitions", [](auto &g) { return g.partitions(); });
    });
  if constexpr (tracksCoefs<Record>)
    cls.def_property("track_coefficients",
      [](D &self) { return self.run("track_coefficients", [](auto &g) { return g.record().updateCoefs != 0; }); },
      [](D &self, py::handle on) {
        const bool v = asFlag(on, "track_coefficients");
        self.run("track_coefficients", [v](auto &g) { g.record().updateCoefs = v; });
      }, "While True (the start value), filter_update also derives the direct-form "
         "coefficients, at O(n^2) per sample.");
  if constexpr (adaptsParcors<Record>)
    cls.def_property("adapt_parcors",
      [](D &self) { return self.run("adapt_parcors", [](auto &g) { return g.record().adaptParcor != 0; }); },
      [](D &self, py::handle on) {
        const bool v = asFlag(on, "adapt_parcors");
        self.run("adapt_parcors", [v](auto &g) { g.record().adaptParcor = v; });
      }, "False freezes the reflection coefficients (True at the start).");
  cls.def("__repr__", &D::repr);
}

// The Python class `name` of family F, built from params (see params.hpp)
// and a keyword-only dtype.
template <template <class> class F, class... P>
void bindFamily(py::module_ &m, const char *name, const char *doc, P... params) {
  using D = Dual<F>;
  py::class_<D> cls(m, name, doc);
  cls.def(py::init([name, params...](Object<P>... args, py::handle dtype) {
    const bool single = singleDtype(dtype);
    const std::string shown = ((params.text(args).empty() ? "" : ", " + params.text(args)) + ... + std::string());
    std::string call = std::string(name) + "(";
    ((call += std::string(params.name) + "=" + show(args) + ", "), ...);
    call += std::string("dtype=") + (single ? "float32" : "float64") + ")";
    try {
      if (single) return new D(name, shown, std::in_place_type<float>, params.template get<float>(args)...);
      return new D(name, shown, std::in_place_type<double>, params.template get<double>(args)...);
    } catch (const quolm::Error &e) {
      raiseCode(e.code(), call);
    }
  }), params.arg()..., py::kw_only(), py::arg("dtype") = py::module_::import("numpy").attr("float64"));
  defProcessing<F>(cls);
  defState<F>(cls);
}

}  // namespace quolmpy

#endif
