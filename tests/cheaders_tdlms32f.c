/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the TDLMS header works from C. A filter that delays by
   one sample, set through its taps. Returns 0 when it behaves. */
#include "quolm32f.h"
#include "quolmffttables32f.h"

int cSmokeTdlms(void) {
  DT32S fftWork[8];
  DT32F fftTable[4];
  DT32F one = 1.0f;
  DT32F y[3];
  quolmTdlms f;
  int failures = 0;
  failures += quolmFftTables32f(8, fftWork, fftTable) != 0;
  failures += tdlms32fInit(&f, 6, 0.1f, fftWork, fftTable) != 0;
  if (failures) return failures;
  failures += tdlms32fSetCoef(&f, &one, 1, 1, 0) != 1;
  y[0] = tdlms32fFilterOnly(&f, 1.0f);
  y[1] = tdlms32fFilterOnly(&f, 2.0f);
  y[2] = tdlms32fFilterOnly(&f, 3.0f);
  failures += y[0] > 1e-5f || y[0] < -1e-5f;
  failures += y[1] > 1.00001f || y[1] < 0.99999f;
  failures += y[2] > 2.00001f || y[2] < 1.99999f;
  tdlms32fFree(&f);
  failures += f.length != 0;
  return failures;
}
