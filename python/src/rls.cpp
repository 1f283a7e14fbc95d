// SPDX-License-Identifier: MIT
// quolm Python module: the recursive-least-squares families.
#include "register.hpp"

namespace quolmpy {

void bindRls(py::module_ &m) {
  bindFamily<quolm::Rls>(m, "Rls",
                         "Exponentially weighted RLS filter of n taps, forgetting factor lam; "
                         "the inverse correlation matrix starts at delta * I.",
                         Size{"n"}, Real{"lam"}, Real{"delta", 0.0, 1.0});
  bindFamily<quolm::Rlslattice>(m, "RlsLattice",
                                "RLS lattice joint-process estimator of n stages, forgetting "
                                "factor lam.",
                                Size{"n"}, Real{"lam"});
  bindFamily<quolm::Rlslbpef>(m, "RlsLbpef",
                              "RLS lattice backward prediction error filter of order n.",
                              Size{"n"}, Real{"lam"});
  bindFamily<quolm::Rlslfpef>(m, "RlsLfpef",
                              "RLS lattice forward prediction error filter of order n.",
                              Size{"n"}, Real{"lam"});
}

}  // namespace quolmpy
