/* SPDX-License-Identifier: MIT */
// The real FFT of the frequency-domain families: N real values to a packed
// spectrum in place and back, reading its twiddles and cosines only from the
// caller's table set (see quolmffttables32f.h).
#ifndef QUOLM_FFT32F_H
#define QUOLM_FFT32F_H

#include "quolmdefs.h"

namespace quolm32f {

// Packed spectrum: a[0] the DC value, a[1] the Nyquist value, a[2k] + i a[2k+1]
// bin k with the imaginary part +sum x[j] sin(2 pi j k / N). direction < 0 is
// forward (unscaled); direction >= 0 inverse, which yields (N/2) times the
// block, so callers scale the samples they use by 2/N. N is a power of two
// >= 2 and the tables must serve N (fftTablesServe). fftWork[2..] is
// overwritten (by transforms of fewer than 64 values).
void realFft(DT32S N, DT32S direction, DT32F *a, DT32S *fftWork,
             const DT32F *fftTable);

// True when the table set announced by fftWork[0] (twiddle count) and
// fftWork[1] (cosine count) was built for a power of two of at least M, so
// that transforms of M values read only what the set holds.
inline bool fftTablesServe(const DT32S *fftWork, DT32S M) {
  if (!fftWork) return false;
  for (int i = 0; i < 2; ++i) {
    const DT32S count = fftWork[i];
    if (count < M / 4 || (count & (count - 1)) != 0) return false;
  }
  return true;
}

}  // namespace quolm32f

#endif
