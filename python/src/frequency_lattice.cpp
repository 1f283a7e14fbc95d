// SPDX-License-Identifier: MIT
// quolm Python module: the frequency-domain families (each builds its own FFT
// tables) and the gradient lattice families.
#include "register.hpp"

namespace quolmpy {

void bindFrequencyAndLattice(py::module_ &m) {
  bindFamily<quolm::Bfdaf>(m, "Bfdaf",
                           "Block frequency-domain adaptive filter of n taps on blocks of "
                           "block_size samples; constrain keeps the gradient to n taps.",
                           Size{"n"}, Size{"block_size"}, Real{"mu"}, Flag{"constrain", true});
  bindFamily<quolm::Pbfdaf>(m, "Pbfdaf",
                            "Partitioned-block frequency-domain adaptive filter: partitions of "
                            "n taps each (coefficients hold partition 0 first), blocks of "
                            "block_size samples.",
                            Size{"n"}, Size{"block_size"}, Size{"partitions"}, Real{"mu"},
                            Flag{"constrain", true});
  bindFamily<quolm::Tdlms>(m, "Tdlms",
                           "Transform-domain LMS of n taps, each frequency bin normalised by "
                           "its own power.",
                           Size{"n"}, Real{"mu"});
  bindFamily<quolm::Lmslattice>(m, "LmsLattice",
                                "LMS lattice joint-process estimator: n ladder coefficients "
                                "(step mu_coef) on an adaptive lattice (step mu_parcor).",
                                Size{"n"}, Real{"mu_parcor"}, Real{"mu_coef"});
  bindFamily<quolm::Lbpef>(m, "Lbpef",
                           "Lattice backward prediction error filter of order n, step mu.",
                           Size{"n"}, Real{"mu"});
  bindFamily<quolm::Lfpef>(m, "Lfpef",
                           "Lattice forward prediction error filter of order n, step mu.",
                           Size{"n"}, Real{"mu"});
}

}  // namespace quolmpy
