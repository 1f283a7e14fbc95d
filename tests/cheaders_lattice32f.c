/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the lattice headers are valid C. Calls one function of
   each lattice family; returns 0 when each behaves. */
#include "quolm32f.h"

int cSmokeLattice(void) {
  int failures = 0;
  DT32F coefBuf[4];
  DT32F stateBuf[12];
  DT32F k = 0.5f;
  quolmLmslattice lat;
  quolmLbpef bpef;
  quolmLfpef fpef;
  failures += lmslattice32fInitStatic(&lat, 2, 0.01f, 0.1f, coefBuf,
                                      stateBuf) != 0;
  failures += lmslattice32fFilterUpdate(&lat, 1.0f, 1.0f) != 0.0f;
  failures += lat.err != 1.0f;
  failures += lbpef32fInit(&bpef, 0, 0.01f) != -2;
  failures += bpef.length != 0;
  failures += lfpef32fInit(&fpef, 1, 0.01f) != 0;
  failures += lfpef32fSetParcor(&fpef, &k, 0, 1, 0) != 1;
  fpef.updateCoefs = 0;
  failures += lfpef32fFilterOnly(&fpef, 2.0f) != 0.0f;
  failures += lfpef32fFilterOnly(&fpef, 1.0f) != 1.0f;
  lfpef32fFree(&fpef);
  return failures;
}
