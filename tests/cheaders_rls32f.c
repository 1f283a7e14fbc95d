/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the RLS declarations are valid C. Returns 0 when an N = 1
   filter takes its first update as expected. */
#include "quolm32f.h"

int cSmokeRls(void) {
  int failures = 0;
  quolmRls rls;
  failures += rls32fInit(&rls, 1, 1.0f, 1.0f) != 0;
  failures += rls32fFilterUpdate(&rls, 1.0f, 2.0f) != 0.0f;
  failures += rls.err != 2.0f || rls.coefs[0] != 1.0f;
  failures += rls.invCorr[0] != 0.5f;
  rls32fFree(&rls);
  failures += rls.length != 0;
  return failures;
}
