// SPDX-License-Identifier: MIT
// A program whose two translation units each use one build and keep records
// in std::vector. Without a distinct C++ type per build, both units would
// instantiate std::vector<quolmNlms> with different layouts: an ODR violation
// that -flto -Wodr reports and that corrupts the heap at -O0.
#ifndef QUOLM_TESTS_TWOBUILDS_H
#define QUOLM_TESTS_TWOBUILDS_H

#include <vector>

// Each unit runs `filters` NLMS and RLS filters identifying one FIR system and
// returns their learned coefficients, NLMS filters first.
std::vector<double> identifyWith32f(int filters);
std::vector<double> identifyWith64f(int filters);

#endif
