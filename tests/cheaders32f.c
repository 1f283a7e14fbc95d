/* SPDX-License-Identifier: MIT */
/* Compiled as C99: every public header must be valid C. Calls one function
   per family; returns 0 when each behaves. */
#include "quolm32f.h"

int cHeadersSmoke(void) {
  int failures = 0;
  DT32F coefs[2] = {1.0f, 0.5f};
  DT32F state[2];
  quolmFir fir;
  quolmLms lms;
  quolmNlms nlms;
  failures += fir32fInitStatic(&fir, 2, coefs, state) != 0;
  failures += fir32fFilter(&fir, 2.0f) != 2.0f;
  failures += lms32fInit(&lms, 2, 0.5f) != 0;
  failures += lms32fFilterUpdate(&lms, 1.0f, 1.0f) != 0.0f;
  lms32fFree(&lms);
  failures += nlms32fInit(&nlms, 0, 0.5f) != -2;
  failures += nextPow2(5) != 3;
  return failures;
}
