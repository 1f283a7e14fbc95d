// SPDX-License-Identifier: MIT
// quolm C++ layer: every filter family as a class template over the sample
// type, float (libquolm32f) or double (libquolm64f), usable side by side in
// one translation unit; link both libraries (CMake: quolm::quolm,
// pkg-config: quolm).
//
//   quolm::Nlms<float> echo(256, 0.5f);   // runs the C Init; freed on destruction
//   float y = echo.filterUpdate(x, d);    // per sample, noexcept
//   echo.filterUpdate(xs, ds, ys);        // whole signals (any contiguous ranges)
//
// Filters are move-only; clone() makes an explicit copy. Failures raise
// quolm::Error (see error.hpp for builds without exceptions). Per-sample and
// whole-signal calls never allocate; the C headers describe each family's
// parameters and their ranges.
#ifndef QUOLM_HPP
#define QUOLM_HPP

#include "error.hpp"
#include "frequency.hpp"
#include "lattice.hpp"
#include "rls.hpp"
#include "span.hpp"
#include "transversal.hpp"

#endif
