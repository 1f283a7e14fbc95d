// SPDX-License-Identifier: MIT
// quolm-aec: cancels the echo of far.wav in mic.wav into out.wav (WAV through
// libsndfile, the first channel of each file, samples at unit scale). With
// --erle it prints the canceller's ERLE estimate every quarter second and
// the echo delay it found.
#include <getopt.h>
#include <sndfile.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "quolmaec.h"

namespace {

struct Options {
  double tailMs = 128;
  long frame = 128;
  bool erle = false;
  const char *far = nullptr, *mic = nullptr, *out = nullptr;
};

void usage(FILE *to) {
  fprintf(to,
          "usage: quolm-aec far.wav mic.wav out.wav [--tail-ms 128] "
          "[--frame 128] [--erle]\n"
          "  removes the echo of far.wav from mic.wav; out.wav takes the\n"
          "  format and length of mic.wav; --erle prints the ERLE estimate\n"
          "  over time and the echo delay found\n");
}

bool parse(int argc, char **argv, Options *o) {
  static const option longOpts[] = {{"tail-ms", required_argument, nullptr, 't'},
                                    {"frame", required_argument, nullptr, 'f'},
                                    {"erle", no_argument, nullptr, 'e'},
                                    {"help", no_argument, nullptr, 'h'},
                                    {nullptr, 0, nullptr, 0}};
  int c;
  char *end;
  while ((c = getopt_long(argc, argv, "t:f:eh", longOpts, nullptr)) != -1) {
    switch (c) {
      case 't': o->tailMs = strtod(optarg, &end); if (*end || !(o->tailMs > 0)) return false; break;
      case 'f': o->frame = strtol(optarg, &end, 10); if (*end || o->frame < 1) return false; break;
      case 'e': o->erle = true; break;
      case 'h': usage(stdout); exit(0);
      default: return false;
    }
  }
  if (argc - optind != 3) return false;
  o->far = argv[optind];
  o->mic = argv[optind + 1];
  o->out = argv[optind + 2];
  return true;
}

// An open sound file read frame by frame, first channel only, zeros past its
// end.
struct Reader {
  SNDFILE *f = nullptr;
  SF_INFO info{};
  std::vector<float> interleaved;
  bool open(const char *path, long frame) {
    f = sf_open(path, SFM_READ, &info);
    if (!f) fprintf(stderr, "quolm-aec: %s: %s\n", path, sf_strerror(nullptr));
    else interleaved.resize(size_t(frame) * size_t(info.channels));
    return f != nullptr;
  }
  sf_count_t read(float *out, long frame) {
    const sf_count_t n = sf_readf_float(f, interleaved.data(), frame);
    for (long i = 0; i < frame; ++i)
      out[i] = i < n ? interleaved[size_t(i) * size_t(info.channels)] : 0.0f;
    return n;
  }
  ~Reader() { if (f) sf_close(f); }
};

int run(const Options &o) {
  Reader far, mic;
  if (!far.open(o.far, o.frame) || !mic.open(o.mic, o.frame)) return 1;
  if (far.info.samplerate != mic.info.samplerate) {
    fprintf(stderr, "quolm-aec: sample rates differ (%d, %d Hz)\n",
            far.info.samplerate, mic.info.samplerate);
    return 1;
  }
  const int rate = mic.info.samplerate;
  const DT32S tail = quolmAecTailTaps(rate, DT32F(o.tailMs));
  quolmAec *aec = nullptr;
  const DT32S rc = quolmAecCreate(&aec, rate, DT32S(o.frame), tail);
  if (rc != 0) {
    fprintf(stderr, "quolm-aec: cannot create the canceller (%s)\n",
            rc == -3 ? "out of memory" : "frame, tail or rate out of range");
    return 1;
  }
  SF_INFO outInfo = mic.info;
  outInfo.channels = 1;
  SNDFILE *out = sf_open(o.out, SFM_WRITE, &outInfo);
  if (!out) {
    fprintf(stderr, "quolm-aec: %s: %s\n", o.out, sf_strerror(nullptr));
    quolmAecDestroy(aec);
    return 1;
  }
  std::vector<float> x(size_t(o.frame)), d(size_t(o.frame)), e(size_t(o.frame));
  const long report = rate / 4;
  long done = 0, nextReport = report;
  if (o.erle) printf("time_s erle_db step double_talk\n");
  for (sf_count_t n; (n = mic.read(d.data(), o.frame)) > 0;) {
    far.read(x.data(), o.frame);
    quolmAecProcess(aec, x.data(), d.data(), e.data());
    sf_writef_float(out, e.data(), n);
    done += long(n);
    if (o.erle && done >= nextReport) {
      quolmAecStatus s;
      quolmAecGetStatus(aec, &s);
      printf("%.2f %.1f %.3f %d\n", double(done) / rate, double(s.erle),
             double(s.step), int(s.doubleTalk));
      nextReport += report;
    }
  }
  if (o.erle) {
    const DT32S delay = quolmAecEchoDelay(aec);
    printf("echo delay %d samples (%.1f ms)\n", int(delay), 1e3 * delay / rate);
  }
  quolmAecDestroy(aec);
  return sf_close(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (!parse(argc, argv, &o)) {
    usage(stderr);
    return 2;
  }
  return run(o);
}
