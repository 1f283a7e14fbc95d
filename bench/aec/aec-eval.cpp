// SPDX-License-Identifier: MIT
// aec-eval: runs libquolmaec (at 16-bit and at unit scale) and SpeexDSP's
// echo canceller (16-bit integers only) on the same scenarios, same frame
// and tail, prints the cancellation figures side by side against the
// targets (aec-bench measures the CPU time) and writes
// the ERLE curves (erle-<scenario>.dat) for gnuplot and each scenario's
// inputs as 16-bit WAV files.
#include <getopt.h>
#include <math.h>
#include <sndfile.h>
#include <speex/speex_echo.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "erle.h"
#include "quolmaec.h"
#include "scenario.h"

namespace {

constexpr int kRate = 16000;

struct Config {
  int frame = 128, tail = 2048;
  std::string material, outDir;
};

std::vector<short> toInt16(const Signal &s) {
  std::vector<short> q(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    q[i] = short(lrint(fmax(-32768.0, fmin(32767.0, 32768.0 * s[i]))));
  return q;
}

// Output at unit scale of a canceller.
struct Run {
  Signal out;
};

Run runQuolm(const Config &c, const std::vector<short> &far,
             const std::vector<short> &mic, float scale) {
  quolmAec *aec = nullptr;
  if (quolmAecCreate(&aec, kRate, c.frame, c.tail) != 0) exit(1);
  const size_t B = size_t(c.frame), n = mic.size() / B * B;
  Signal x(n), d(n);
  for (size_t i = 0; i < n; ++i) x[i] = far[i] * scale, d[i] = mic[i] * scale;
  Run r;
  r.out.assign(mic.size(), 0.0f);
  for (size_t i = 0; i < n; i += B)
    quolmAecProcess(aec, &x[i], &d[i], &r.out[i]);
  quolmAecDestroy(aec);
  for (float &v : r.out) v /= 32768.0f * scale;
  return r;
}

Run runSpeex(const Config &c, const std::vector<short> &far,
             const std::vector<short> &mic) {
  SpeexEchoState *st = speex_echo_state_init(c.frame, c.tail);
  int rate = kRate;
  speex_echo_ctl(st, SPEEX_ECHO_SET_SAMPLING_RATE, &rate);
  const size_t B = size_t(c.frame), n = mic.size() / B * B;
  std::vector<short> out(mic.size(), 0);
  Run r;
  for (size_t i = 0; i < n; i += B)
    speex_echo_cancellation(st, &mic[i], &far[i], &out[i]);
  speex_echo_state_destroy(st);
  r.out.resize(out.size());
  for (size_t i = 0; i < out.size(); ++i) r.out[i] = out[i] / 32768.0f;
  return r;
}

struct Outcome {
  std::vector<short> mic;  // echo + near end + noise, 16-bit
  Run q16, qUnit, speex;
};

bool within15(double v, double) { return v <= 1.5; }

Erle erleOf(const Scenario &s, const std::vector<short> &mic,
            const Signal &out) {
  Signal resid(out.size());
  for (size_t i = 0; i < out.size(); ++i)
    resid[i] = out[i] - (mic[i] / 32768.0f - s.echo[i]);
  return Erle(s.echo, resid, kRate);
}

void row(const char *scen, const char *what, const char *target, double q16,
         double qUnit, double speex, bool (*met)(double, double)) {
  printf("%-7s %-38s %-10s %8.2f %-4s %8.2f %-4s %8.2f\n", scen, what, target,
         q16, met(q16, speex) ? "met" : "NOT", qUnit,
         met(qUnit, speex) ? "met" : "NOT", speex);
}

void writeCurves(const Config &c, const Scenario &s, const Erle (&e)[3]) {
  const std::string path = c.outDir + "/erle-" + s.name + ".dat";
  FILE *f = fopen(path.c_str(), "w");
  if (!f) return;
  fprintf(f, "# time_s quolm_16bit quolm_unit speexdsp\n");
  for (size_t k = 0; k < e[0].db().size(); ++k)
    fprintf(f, "%.2f %.2f %.2f %.2f\n", (k + 0.5) * e[0].windowSeconds(),
            e[0].db()[k], e[1].db()[k], e[2].db()[k]);
  fclose(f);
}

// far-<scenario>.wav and mic-<scenario>.wav, for trying quolm-aec by hand.
void writeInputs(const Config &c, const Scenario &s, const Outcome &o) {
  const std::vector<short> far = toInt16(s.far);
  const std::vector<short> *sig[2] = {&far, &o.mic};
  const char *kind[2] = {"far", "mic"};
  for (int k = 0; k < 2; ++k) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::string path = c.outDir + "/" + kind[k] + "-" + s.name + ".wav";
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) continue;
    sf_writef_short(f, sig[k]->data(), sf_count_t(sig[k]->size()));
    sf_close(f);
  }
}

void report(const Config &c, const Scenario &s, const Outcome &o) {
  writeInputs(c, s, o);
  const Erle e[3] = {erleOf(s, o.mic, o.q16.out), erleOf(s, o.mic, o.qUnit.out),
                     erleOf(s, o.mic, o.speex.out)};
  writeCurves(c, s, e);
  const char *n = s.name.c_str();
  if (s.name == "single") {
    const double end = s.far.size() / double(kRate);
    const double t0 = e[0].onset();  // the echo's, the same for all three
    row(n, "time to 20 dB from far-end onset (s)", "<= 1.5", e[0].timeTo(20, t0),
        e[1].timeTo(20, t0), e[2].timeTo(20, t0), within15);
    row(n, "final ERLE, last 3 s (dB)", ">= speex", e[0].over(end - 3, end),
        e[1].over(end - 3, end), e[2].over(end - 3, end),
        [](double v, double sp) { return v >= sp; });
  } else if (s.name == "change") {
    row(n, "time back to 10 dB after change (s)", "<= 1.5",
        e[0].timeTo(10, s.markStart), e[1].timeTo(10, s.markStart),
        e[2].timeTo(10, s.markStart), within15);
  } else {
    const double a = s.markStart, b = s.markEnd;
    const std::vector<bool> talks = activeWindows(s.near, kRate);
    row(n, "ERLE while both talk (dB)", ">= 20", e[0].over(a, b, &talks),
        e[1].over(a, b, &talks), e[2].over(a, b, &talks),
        [](double v, double) { return v >= 20; });
    row(n, "near-end removed (dB)", "< 1",
        nearRemovedDb(s.near, o.q16.out, kRate, a, b),
        nearRemovedDb(s.near, o.qUnit.out, kRate, a, b),
        nearRemovedDb(s.near, o.speex.out, kRate, a, b),
        [](double v, double) { return fabs(v) < 1; });
    auto drop = [&](const Erle &x) { return x.over(b, b + 3) - x.over(a - 3, a); };
    row(n, "ERLE 3 s after - 3 s before (dB)", ">= -3", drop(e[0]),
        drop(e[1]), drop(e[2]), [](double v, double) { return v >= -3; });
  }
}

Outcome runAll(const Config &c, const Scenario &s) {
  Signal mixed(s.far.size());
  for (size_t i = 0; i < mixed.size(); ++i)
    mixed[i] = s.echo[i] + s.near[i] + s.noise[i];
  const std::vector<short> far = toInt16(s.far);
  Outcome o;
  o.mic = toInt16(mixed);
  o.q16 = runQuolm(c, far, o.mic, 1.0f);
  o.qUnit = runQuolm(c, far, o.mic, 1.0f / 32768);
  o.speex = runSpeex(c, far, o.mic);
  return o;
}

bool parse(int argc, char **argv, Config *c) {
  static const option opts[] = {{"frame", required_argument, nullptr, 'f'},
                                {"tail", required_argument, nullptr, 't'},
                                {nullptr, 0, nullptr, 0}};
  for (int o; (o = getopt_long(argc, argv, "f:t:", opts, nullptr)) != -1;) {
    if (o == 'f') c->frame = atoi(optarg);
    else if (o == 't') c->tail = atoi(optarg);
    else return false;
  }
  if (argc - optind != 2 || c->frame < 1 || c->tail < 1) return false;
  c->material = argv[optind];
  c->outDir = argv[optind + 1];
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  Config c;
  if (!parse(argc, argv, &c)) {
    fprintf(stderr, "usage: aec-eval [--frame 128] [--tail 2048] "
                    "material-dir out-dir\n");
    return 2;
  }
  printf("frame %d samples, tail %d taps, %d Hz\n", c.frame, c.tail, kRate);
  printf("%-7s %-38s %-10s %13s %13s %8s\n", "", "", "target",
         "quolm 16-bit", "quolm unit", "speexdsp");
  const std::vector<Scenario> all = makeScenarios(c.material, kRate);
  for (const Scenario &s : all) report(c, s, runAll(c, s));
  return 0;
}
