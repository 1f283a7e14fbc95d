/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the frequency-domain headers and the header-only table
   builder are valid C. Returns 0 when each family behaves. */
#include "quolm32f.h"

int cSmokeFdaf(void) {
  int failures = 0;
  DT32S fftWork[2 + 2];
  DT32F fftTable[8];
  DT32F x[6] = {1, 2, 3, 4, 5, 6}, d[6] = {1, 1, 1, 1, 1, 1}, y[6], e[6];
  DT32F w[12];
  quolmPbfdaf pb;
  quolmBfdaf bf;
  int i;
  failures += quolmFftTables32f(16, fftWork, fftTable) != 0;
  failures += pbfdaf32fInit(&pb, 6, 6, 2, 0.05f, 1, fftWork, fftTable) != 0;
  failures += pbfdaf32fFilterUpdate(&pb, x, d, y, e) != 0;
  for (i = 0; i < 6; i++) failures += y[i] != 0.0f || e[i] != d[i];
  failures += pbfdaf32fGetCoef(&pb, w, 0, 12, 0) != 12;
  pbfdaf32fFree(&pb);
  failures += bfdaf32fInit(&bf, 6, 6, 0.05f, 0, fftWork, fftTable) != 0;
  failures += bfdaf32fFilterOnly(&bf, x, y) != 0;
  for (i = 0; i < 6; i++) failures += y[i] != 0.0f;
  bfdaf32fFree(&bf);
  return failures;
}
