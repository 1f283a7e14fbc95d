// SPDX-License-Identifier: MIT
// quolm Python module: the extension quolm._quolm, one class per family;
// the families are registered in three files to keep each one's compile
// time and memory modest. The echo canceller (aec.cpp) is there when the
// build has it (QUOLM_PY_AEC).
#include "register.hpp"

namespace quolmpy {
void bindTransversal(py::module_ &m);
void bindFrequencyAndLattice(py::module_ &m);
void bindRls(py::module_ &m);
#ifdef QUOLM_PY_AEC
void bindEchoCanceller(py::module_ &m);
#endif
}  // namespace quolmpy

PYBIND11_MODULE(_quolm, m) {
  m.doc() = "Adaptive filters of the quolm libraries (float32: libquolm32f, float64: libquolm64f).";
  quolmpy::bindTransversal(m);
  quolmpy::bindFrequencyAndLattice(m);
  quolmpy::bindRls(m);
#ifdef QUOLM_PY_AEC
  quolmpy::bindEchoCanceller(m);
#endif
  m.def("gil_released_calls", [] { return quolmpy::callsWithoutGil.load(); },
        "How many calls into the filters ran with the GIL released.");
}
