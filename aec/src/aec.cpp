// SPDX-License-Identifier: MIT
// The exported functions of libquolmaec: argument checks, then the canceller.
#include <math.h>

#include "canceller.h"

extern "C" {

QUOLM_API DT32S quolmAecCreate(quolmAec **aec, DT32S sampleRate,
                               DT32S frameSize, DT32S tailTaps) {
  if (!aec) return -1;
  *aec = nullptr;
  quolmaec::Geometry g;
  const DT32S rc = g.set(sampleRate, frameSize, tailTaps);
  return rc != 0 ? rc : quolmaec::create(aec, g);
}

QUOLM_API DT32S quolmAecTailTaps(DT32S sampleRate, DT32F tailMs) {
  const double taps = double(tailMs) * sampleRate / 1000.0;
  if (sampleRate < 1 || !(taps >= 0) || taps > QUOLM_AEC_MAX_TAIL) return -2;
  const DT32S n = DT32S(lround(taps));
  return n < 1 ? 1 : n;
}

QUOLM_API DT32S quolmAecProcess(quolmAec *aec, const DT32F *far,
                                const DT32F *mic, DT32F *out) {
  if (!aec || !far || !mic || !out) return -1;
  return quolmaec::process(aec, far, mic, out);
}

QUOLM_API DT32S quolmAecReset(quolmAec *aec) {
  if (!aec) return -1;
  quolmaec::restart(aec);
  return 0;
}

QUOLM_API DT32S quolmAecGetStatus(const quolmAec *aec,
                                  quolmAecStatus *status) {
  if (!aec || !status) return -1;
  *status = aec->status;
  return 0;
}

QUOLM_API DT32S quolmAecEchoDelay(quolmAec *aec) {
  return aec ? quolmaec::echoDelay(aec) : -1;
}

QUOLM_API DT32S quolmAecFrameSize(const quolmAec *aec) {
  return aec ? aec->g.B : -1;
}

QUOLM_API DT32S quolmAecTailLength(const quolmAec *aec) {
  return aec ? aec->g.L * aec->g.P : -1;
}

QUOLM_API void quolmAecDestroy(quolmAec *aec) {
  if (aec) quolmaec::destroy(aec);
}

}  // extern "C"
