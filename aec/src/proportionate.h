// SPDX-License-Identifier: MIT
// Proportionate share of the background's update among its partitions, after
// Duttweiler, "Proportionate normalized least-mean-squares adaptation in echo
// cancelers" (IEEE TSAP 8(5), 2000), applied per partition as the multidelay
// filter of SpeexDSP's mdf.c does: partitions that hold more of the echo path
// take a larger share of the step, so the strong early part of a room
// response converges first.
//
// The library applies one step to every partition. The share is applied
// afterwards, W_p = W_old_p + g_p (W_p - W_old_p), and only to updates made
// without the gradient constraint: there the difference is exactly the
// gradient step, whereas a constrained update also cuts the coefficients
// back to L taps, which scaling would undo or overdo.
#ifndef QUOLMAEC_PROPORTIONATE_H
#define QUOLMAEC_PROPORTIONATE_H

#include "quolmdefs.h"

namespace quolmaec {

// before: the P coefficient spectra of M values before the update; coefs:
// after it, rescaled in place; gains: P values of scratch. The factors
// follow the partitions' norms in `before` plus a floor, average 1 and are
// capped; nothing changes while every partition is zero.
void shareUpdate(const DT32F *before, DT32F *coefs, DT32S P, DT32S M,
                 DT32F *gains);

}  // namespace quolmaec

#endif
