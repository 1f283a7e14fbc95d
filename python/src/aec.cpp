// SPDX-License-Identifier: MIT
// quolm Python module: the echo canceller of libquolmaec as the class
// EchoCanceller (float32 frames), compiled only when the canceller is built.
//
// As for the filters, every call that touches the canceller runs with the GIL
// released and the object's mutex held; arrays are checked and made with the
// GIL held, outside. Inputs convert as the float32 filters' do (float16,
// float32, integers of up to 16 bits); an `out` frame must already be a
// writable float32 array, which is written in place.
#include <quolm/aec.hpp>

#include <mutex>

#include "family.hpp"

namespace quolmpy {

namespace {

class Canceller {
 public:
  Canceller(int rate, int frame, int taps) : aec_(rate, frame, taps), rate_(rate) {}

  int rate() const { return rate_; }
  size_t frame() const { return aec_.frameSize(); }
  size_t tail() const { return aec_.tailLength(); }

  // Runs fn(canceller) with the GIL released and the canceller locked.
  template <class Fn>
  auto run(Fn &&fn) {
    return releasedAndLocked(mutex_, [&] { return fn(aec_); });
  }
  // Cancels `frames` whole frames; counts the non-finite samples taken as 0.
  void process(const float *far, const float *mic, float *out, size_t frames) {
    run([&](quolm::EchoCanceller &a) {
      const size_t b = a.frameSize();
      for (size_t i = 0; i < frames * b; i += b) nonfinite_ += a.process(far + i, mic + i, out + i);
    });
  }
  void reset() {
    run([&](quolm::EchoCanceller &a) {
      a.reset();
      nonfinite_ = 0;
    });
  }
  long long nonfinite() {
    return run([&](quolm::EchoCanceller &) { return nonfinite_; });
  }

 private:
  quolm::EchoCanceller aec_;
  const int rate_;
  long long nonfinite_ = 0;  // since creation or reset
  std::mutex mutex_;
};

// The tail in taps from exactly one of tail_ms and tail_taps.
int tailTaps(int rate, py::handle ms, py::handle taps) {
  if (ms.is_none() == taps.is_none())
    raise(PyExc_TypeError, "EchoCanceller takes exactly one of tail_ms and tail_taps");
  if (!taps.is_none()) return int(asSize(taps, "tail_taps", 1, QUOLM_AEC_MAX_TAIL));
  const int n = quolm::EchoCanceller::tailTaps(rate, float(asReal(ms, "tail_ms", 0)));
  if (n < 0)
    raise(PyExc_ValueError, "tail_ms = " + show(ms) + " is longer than " +
                                std::to_string(QUOLM_AEC_MAX_TAIL) + " taps at " +
                                std::to_string(rate) + " Hz");
  return n;
}

Canceller *create(py::handle rate, py::handle frame, py::handle ms, py::handle taps) {
  const int r = int(asSize(rate, "sample_rate", QUOLM_AEC_MIN_RATE, QUOLM_AEC_MAX_RATE));
  const int b = int(asSize(frame, "frame_size", 1, QUOLM_AEC_MAX_FRAME));
  const int t = tailTaps(r, ms, taps);
  try {
    return new Canceller(r, b, t);
  } catch (const quolm::Error &e) {
    raiseCode(e.code(), "EchoCanceller(sample_rate=" + std::to_string(r) + ", frame_size=" +
                            std::to_string(b) + ", tail_taps=" + std::to_string(t) + ")");
  }
}

// far and mic of one length.
std::pair<py::array_t<float>, py::array_t<float>> signalPair(py::handle far, py::handle mic) {
  auto x = asSignal<float>(far, "far");
  auto d = asSignal<float>(mic, "mic");
  if (x.size() != d.size())
    raise(PyExc_ValueError, "far and mic must have the same length, got " +
                                std::to_string(x.size()) + " and " + std::to_string(d.size()));
  return {x, d};
}

// The caller's output frame: a writable, contiguous float32 array of b samples.
py::array_t<float> outFrame(py::handle out, size_t b) {
  if (!py::isinstance<py::array_t<float>>(out))
    raise(PyExc_TypeError, "out must be a float32 array, got " +
                               (py::isinstance<py::array>(out) ? "dtype " + show(out.attr("dtype"))
                                                               : show(out)));
  auto a = py::reinterpret_borrow<py::array_t<float>>(out);
  if (a.ndim() != 1 || size_t(a.size()) != b)
    raise(PyExc_ValueError, "out must have shape (" + std::to_string(b) + ",), got " +
                                show(a.attr("shape")));
  if (!(a.flags() & py::array::c_style)) raise(PyExc_ValueError, "out must be contiguous");
  if (!a.writeable()) raise(PyExc_ValueError, "out is read-only");
  return a;
}

std::string repr(Canceller &c) {
  return "quolm.EchoCanceller(sample_rate=" + std::to_string(c.rate()) + ", frame_size=" +
         std::to_string(c.frame()) + ", tail_taps=" + std::to_string(c.tail()) + ")";
}

}  // namespace

void bindEchoCanceller(py::module_ &m) {
  py::object statusType = py::module_::import("collections").attr("namedtuple")(
      "EchoStatus", py::make_tuple("erle", "leak", "step", "double_talk", "adapted", "frames"));
  statusType.attr("__module__") = "quolm";
  m.attr("EchoStatus") = statusType;
  const py::handle status = statusType;  // kept alive by the module

  py::class_<Canceller> cls(m, "EchoCanceller",
      "Acoustic echo canceller on float32 frames of frame_size samples at sample_rate Hz, "
      "for an echo tail of tail_ms milliseconds or tail_taps samples (exactly one; rounded "
      "up to whole frames).");
  cls.def(py::init(&create), py::arg("sample_rate"), py::arg("frame_size"), py::kw_only(),
          py::arg("tail_ms") = py::none(), py::arg("tail_taps") = py::none());
  cls.def("process", [](Canceller &c, py::handle far, py::handle mic, py::handle out) {
    auto [x, d] = signalPair(far, mic);
    if (size_t(d.size()) != c.frame())
      raise(PyExc_ValueError, "far and mic must hold frame_size = " + std::to_string(c.frame()) +
                                  " samples, got " + std::to_string(d.size()));
    py::array_t<float> e = out.is_none() ? py::array_t<float>(d.size()) : outFrame(out, c.frame());
    c.process(x.data(), d.data(), e.mutable_data(), 1);
    return e;
  }, py::arg("far"), py::arg("mic"), py::arg("out") = py::none(),
     "Cancels the echo of the far-end frame in the microphone frame; returns the output "
     "frame (written into out when given, which may be mic or far).");
  cls.def("process_signal", [](Canceller &c, py::handle far, py::handle mic) {
    auto [x, d] = signalPair(far, mic);
    if (size_t(d.size()) % c.frame() != 0)
      raise(PyExc_ValueError, "len(mic) = " + std::to_string(d.size()) +
                                  " is not a whole number of frames of frame_size = " +
                                  std::to_string(c.frame()));
    py::array_t<float> e(d.size());
    c.process(x.data(), d.data(), e.mutable_data(), size_t(d.size()) / c.frame());
    return e;
  }, py::arg("far"), py::arg("mic"),
     "process() over whole signals of one length, a multiple of frame_size (else "
     "ValueError); returns the output signal.");
  cls.def("reset", &Canceller::reset, "Forgets the echo path and the signal history.");
  cls.def_property_readonly("status", [status](Canceller &c) {
    const quolmAecStatus s = c.run([](quolm::EchoCanceller &a) { return a.figures(); });
    return status(s.erle, s.leak, s.step, s.doubleTalk != 0, s.adapted != 0, s.frames);
  }, "The monitoring figures after the last frame, an EchoStatus.");
  cls.def_property_readonly("echo_delay", [](Canceller &c) {
    return c.run([](quolm::EchoCanceller &a) { return a.echoDelay(); });
  }, "The bulk delay of the learned echo path in samples (0 before anything was learned); "
     "costs two transforms per frame of tail: read it for monitoring, not every frame.");
  cls.def_property_readonly("nonfinite_samples", &Canceller::nonfinite,
                            "Non-finite input samples taken as 0 since creation or reset().");
  cls.def_property_readonly("sample_rate", &Canceller::rate);
  cls.def_property_readonly("frame_size", &Canceller::frame);
  cls.def_property_readonly("tail_taps", &Canceller::tail,
                            "The tail in taps, rounded up to whole frames.");
  cls.def("__repr__", &repr);
}

}  // namespace quolmpy
