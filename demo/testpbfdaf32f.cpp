// SPDX-License-Identifier: MIT
// pbfdafdemo: identifies an unknown 12-tap FIR system (the plant) with a
// partitioned-block frequency-domain adaptive filter (the model). Both are
// driven by the same uniform white noise; the model adapts on the difference
// between the plant's output and its own. Writes the input, desired, output
// and error signals to inp.txt, des.txt, out.txt and err.txt, the learned
// coefficients to the console and to cof.txt, and prints the processor time
// spent in the block loop. Takes no arguments and reads no input.
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "quolmdisplay32f.h"
#include "quolmfir32f.h"
#include "quolmpbfdaf32f.h"
#include "quolmvector32f.h"

namespace {

constexpr DT32S kTaps = 12;
constexpr DT32S kBlockLen = 6;
constexpr DT32S kPartitionLen = 6;
constexpr DT32S kPartitions = 2;  // kPartitions * kPartitionLen = kTaps
constexpr DT32F kMu = 0.05f;
constexpr DT32S kConstrain = 1;
// The block loop runs while fewer samples than this were processed:
// 833 blocks of 6, 4998 samples.
constexpr DT32S kSampleBound = 4994;

const DT32F kPlant[kTaps] = {0.1f, 0.3f, -0.4f, 0.7f, -0.3f, 0.9f,
                             0.5f, 0.2f, 0.1f,  0.4f, 0.8f,  0.6f};

// Real FFT table set for transforms of 16 values: 4 twiddles and 4 cosines,
// then the permutation work area that every transform rewrites.
DT32S fftWork16[8] = {4, 4, 0, 0, 0, 0, 0, 0};
DT32F fftTable16[8] = {
    1.0f,        0.0f,        0.70710678f, 0.70710678f,  // twiddles
    0.70710678f, 0.46193977f, 0.35355339f, 0.19134172f,  // cosines
};

// The signal's scaling wants draws in 0 .. 32767, but rand() may range much
// wider (2^31 - 1 on common platforms); keep the top 15 bits of each draw,
// which are also the better ones of simple generators.
constexpr int bitsOf(unsigned long v) { return v ? 1 + bitsOf(v >> 1) : 0; }
static_assert(RAND_MAX >= 32767 && ((unsigned long)RAND_MAX &
                                    ((unsigned long)RAND_MAX + 1)) == 0,
              "RAND_MAX must be 2^k - 1 with k >= 15");
constexpr int kRandShift = bitsOf(RAND_MAX) - 15;

DT32F noiseSample() {
  const int r = rand() >> kRandShift;
  return DT32F(r / 32767.0 - 0.5);
}

int cantOpen(const char *name, int status) {
  printf("Can't open file %s for writing", name);
  return status;
}

}  // namespace

int main() {
  DT32F plantCoefs[kTaps];
  for (DT32S i = 0; i < kTaps; ++i) plantCoefs[i] = kPlant[i];
  quolmFir plant;
  fir32fInit(&plant, kTaps, plantCoefs);
  if (plant.length == 0) {
    puts("Couldn't create unknown filter");
    exit(-1);
  }

  DT32F x[kTaps], d[kTaps], y[kTaps], e[kTaps];
  reset32f(x, kTaps);
  reset32f(d, kTaps);
  reset32f(y, kTaps);
  reset32f(e, kTaps);

  quolmPbfdaf model;
  if (pbfdaf32fInit(&model, kPartitionLen, kBlockLen, kPartitions, kMu,
                    kConstrain, fftWork16, fftTable16) < 0) {
    puts("Error creating quolmPbfdaf filter");
    exit(-1);
  }

  // Files that did open stay open until the process ends. The filters are
  // released on every way out so that leak checkers see a clean exit.
  enum { kInp, kDes, kOut, kErr, kFiles };
  const char *const names[kFiles] = {"inp.txt", "des.txt", "out.txt",
                                     "err.txt"};
  FILE *files[kFiles];
  for (int i = 0; i < kFiles; ++i) {
    files[i] = fopen(names[i], "wt");
    if (!files[i]) {
      pbfdaf32fFree(&model);
      fir32fFree(&plant);
      return cantOpen(names[i], i == kInp ? -2 : -3);
    }
  }

  const clock_t start = clock();
  for (DT32S k = 0; k < kSampleBound; k += kBlockLen) {
    for (DT32S i = 0; i < kBlockLen; ++i) x[i] = noiseSample();
    fir32fBlockFilter(&plant, x, d, kBlockLen);
    pbfdaf32fFilterUpdate(&model, x, d, y, e);
    for (DT32S i = 0; i < kBlockLen; ++i) {
      fprintf(files[kInp], "%+6.5f\n", x[i]);
      fprintf(files[kDes], "%+6.5f\n", d[i]);
      fprintf(files[kOut], "%+6.5f\n", y[i]);
      fprintf(files[kErr], "%+6.5f\n", e[i]);
    }
  }
  const clock_t ticks = clock() - start;

  fclose(files[kInp]);
  fclose(files[kDes]);
  fclose(files[kErr]);
  fclose(files[kOut]);

  FILE *cof = fopen("cof.txt", "wt");
  if (!cof) {
    pbfdaf32fFree(&model);
    fir32fFree(&plant);
    return cantOpen("cof.txt", -4);
  }
  // With partitions as long as the block, partition 0 then partition 1 read
  // as one 12-tap filter comparable tap by tap with the plant.
  DT32F learned[kTaps];
  pbfdaf32fGetCoef(&model, learned, 0, kTaps, 0);
  dispR32f(learned, kTaps);
  fdispC32f(cof, learned, kTaps);
  fclose(cof);
  pbfdaf32fFree(&model);
  fir32fFree(&plant);

  puts("\nElapsed Time      in Seconds");
  printf("PBFDAF            %10.10f\n",
         DT64F(DT32F(ticks)) / DT64F(CLOCKS_PER_SEC));
  return 0;
}
