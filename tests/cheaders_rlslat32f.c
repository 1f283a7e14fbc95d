/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the RLS lattice headers must be valid C. Calls one
   function of each family; returns 0 when each behaves. */
#include "quolm32f.h"

int cSmokeRlslat(void) {
  int failures = 0;
  DT32F coefBuf[3];
  DT32F stateBuf[7];
  quolmRlslattice lat;
  quolmRlslbpef bpef;
  quolmRlslfpef fpef;
  failures += rlslattice32fInitStatic(&lat, 1, 1.0f, coefBuf, stateBuf) != 0;
  failures += rlslattice32fFilterOnly(&lat, 1.0f) != 0.0f;
  failures += rlslbpef32fInit(&bpef, 0, 1.0f) != -2 || bpef.length != 0;
  failures += rlslfpef32fInit(&fpef, 2, 1.0f) != 0;
  failures += rlslfpef32fFilterUpdate(&fpef, 1.0f) != 0.0f;
  rlslfpef32fFree(&fpef);
  return failures;
}
