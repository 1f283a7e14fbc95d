// Per-build constants, beside the family that uses each. A constant written
// DT32F(0.99) is the nearest value of the build's type (exact in the double
// build); one written DT32F(0.99f) is the single-precision value in both
// builds, widened in the double build.
#ifndef QUOLM_CONSTS32F_H
#define QUOLM_CONSTS32F_H

#include "quolmdefs.h"

namespace quolm32f {

// NLMS: power smoothing weights and divisor regularisation.
constexpr DT32F kNlmsKeep = DT32F(0.99);
constexpr DT32F kNlmsGain = DT32F(0.01);
constexpr DT32F kNlmsEps = DT32F(1e-12);

// Block NLMS: the same smoothing with a smaller regularisation, as
// single-precision values in both builds (widened in the double build).
constexpr DT32F kBnlmsKeep = DT32F(0.99f);
constexpr DT32F kBnlmsGain = DT32F(0.01f);
constexpr DT32F kBnlmsEps = DT32F(1e-15f);

// Filtered-x and adjoint LMS: smoothing of the power that normalises the step
// (of the filtered reference, resp. of a delayed reference sample), and the
// divisor regularisation; exact in each build.
constexpr DT32F kSecPathKeep = DT32F(0.99);
constexpr DT32F kSecPathGain = DT32F(0.01);
constexpr DT32F kSecPathEps = DT32F(1e-12);

}  // namespace quolm32f

#endif
