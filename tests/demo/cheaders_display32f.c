/* SPDX-License-Identifier: MIT */
/* Compiled as C99: the display header must be valid C. Returns 0 when a row
   printed to a stream counts its 18 value characters and its line end. */
#include "quolmdisplay32f.h"

int cSmokeDisplay(void) {
  const DT32F x[2] = {1.0f, -0.5f};
  FILE *f = tmpfile();
  int failures;
  if (!f) return 1;
  failures = fdispR32f(f, x, 2) != 19;
  fclose(f);
  return failures;
}
