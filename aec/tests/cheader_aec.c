// SPDX-License-Identifier: MIT
/* Compiled as C99: quolmaec.h is valid C. Returns 0 when a first frame with
   nothing learned passes the microphone through unchanged. */
#include "quolmaec.h"

int cSmokeAec(void) {
  int failures = 0, i;
  quolmAec *aec;
  quolmAecStatus st;
  DT32F far[32], mic[32], out[32];
  for (i = 0; i < 32; i++) far[i] = (DT32F)(i % 5), mic[i] = (DT32F)(i % 3);
  failures += quolmAecCreate(&aec, 8000, 32, 256) != 0;
  if (failures) return failures;
  failures += quolmAecProcess(aec, far, mic, out) != 0;
  for (i = 0; i < 32; i++) failures += out[i] != mic[i];
  failures += quolmAecGetStatus(aec, &st) != 0 || st.frames != 1;
  quolmAecDestroy(aec);
  return failures;
}
