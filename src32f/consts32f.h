/* SPDX-License-Identifier: MIT */
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

// BFDAF: power smoothing, weight of the new block's power (before the
// division by the block length) and divisor regularisation, exact in each
// build (the single build's weight is 0.02f).
constexpr DT32F kBfdafKeep = DT32F(0.98);
constexpr DT32F kBfdafGain = DT32F(1.0 - 0.98);
constexpr DT32F kBfdafEps = DT32F(1e-6);

// PBFDAF: the same roles, single-precision values in both builds.
constexpr DT32F kPbfdafKeep = DT32F(0.98f);
constexpr DT32F kPbfdafGain = DT32F(1.0f - 0.98f);  // 0.019999980926513672
constexpr DT32F kPbfdafEps = DT32F(1e-6f);

// RLS: delta of the P = delta*I that Resize restarts from; the
// single-precision 0.01 in both builds.
constexpr DT32F kRlsResizeDelta = DT32F(0.01f);

// TDLMS: per-bin power smoothing weights and divisor regularisation, the
// single-precision values in both builds.
constexpr DT32F kTdlmsKeep = DT32F(0.98f);
constexpr DT32F kTdlmsGain = DT32F(0.02f);
constexpr DT32F kTdlmsEps = DT32F(1e-6f);

// RLS lattice families: start value of every stage's error powers (the
// single-precision 0.001 in both builds) and of its conversion factor.
constexpr DT32F kRlsLatPowerStart = DT32F(0.001f);
constexpr DT32F kRlsLatConvStart = DT32F(1.0);

// Gradient lattice families: power smoothing weights and divisor
// regularisation, the single-precision values in both builds.
constexpr DT32F kLatticeKeep = DT32F(0.98f);
constexpr DT32F kLatticeGain = DT32F(0.01f);
constexpr DT32F kLatticeEps = DT32F(1e-15f);

}  // namespace quolm32f

#endif
