/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the block and secondary-path headers must be valid C.
   Calls one function of each family; returns 0 when each behaves. */
#include "quolm32f.h"

int cSmokeBlock(void) {
  int failures = 0;
  DT32F x[2] = {1.0f, 2.0f}, d[2] = {1.0f, 1.0f}, y[2], e[2];
  DT32F one[1] = {1.0f};
  quolmBlms blms;
  quolmBnlms bnlms;
  quolmFxlms fxlms;
  quolmAdjlms adjlms;
  failures += blms32fInit(&blms, 2, 2, 0.5f) != 0;
  failures += blms32fFilterUpdate(&blms, x, d, y, e) != 0;
  failures += y[0] != 0.0f || e[0] != 1.0f;
  blms32fFree(&blms);
  failures += bnlms32fInit(&bnlms, 2, 0, 0.5f) != -2;
  failures += fxlms32fInit(&fxlms, 2, 0.5f, one, 1, one, 1) != 0;
  failures += fxlms32fFilterOnly(&fxlms, 1.0f) != 0.0f;
  fxlms32fFree(&fxlms);
  failures += adjlms32fInit(&adjlms, 2, 0.5f, one, 1, 0, 1) != -1;
  return failures;
}
