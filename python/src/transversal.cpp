// SPDX-License-Identifier: MIT
// quolm Python module: FIR, LMS (four laws), NLMS, block LMS and NLMS,
// filtered-x and adjoint LMS.
#include "register.hpp"

namespace quolmpy {

void bindTransversal(py::module_ &m) {
  bindFamily<quolm::Fir>(m, "Fir", "Fixed FIR filter with a copy of `coefficients`.",
                         Samples{"coefficients"});
  bindFamily<quolm::Lms>(m, "Lms",
                         "LMS filter of n taps, step mu; law: 'plain', 'sign_error', "
                         "'sign_regressor' or 'sign_sign'.",
                         Size{"n"}, Real{"mu"}, Law{});
  bindFamily<quolm::Nlms>(m, "Nlms", "Normalised LMS filter of n taps, step mu.", Size{"n"},
                          Real{"mu"});
  bindFamily<quolm::Blms>(m, "Blms",
                          "Block LMS filter of n taps on blocks of block_size samples; law as "
                          "for Lms.",
                          Size{"n"}, Size{"block_size"}, Real{"mu"}, Law{});
  bindFamily<quolm::Bnlms>(m, "Bnlms",
                           "Block normalised LMS filter of n taps on blocks of block_size samples.",
                           Size{"n"}, Size{"block_size"}, Real{"mu"});
  bindFamily<quolm::Fxlms>(m, "Fxlms",
                           "Filtered-x LMS of n taps through a secondary path (filtered with "
                           "its model secondary_model); the output is the secondary path's and "
                           "the error is output + d, the residual at the error point.",
                           Size{"n"}, Real{"mu"}, Samples{"secondary_path"},
                           Samples{"secondary_model"});
  bindFamily<quolm::Adjlms>(m, "Adjlms",
                            "Adjoint LMS of n taps through a secondary path, as Fxlms.",
                            Size{"n"}, Real{"mu"}, Samples{"secondary_path"},
                            Samples{"secondary_model"});
}

}  // namespace quolmpy
