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

// TDLMS: per-bin power smoothing weights and divisor regularisation, the
// single-precision values in both builds.
constexpr DT32F kTdlmsKeep = DT32F(0.98f);
constexpr DT32F kTdlmsGain = DT32F(0.02f);
constexpr DT32F kTdlmsEps = DT32F(1e-6f);

}  // namespace quolm32f

#endif
