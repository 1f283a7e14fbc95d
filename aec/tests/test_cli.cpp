// SPDX-License-Identifier: MIT
// quolm-aec: a WAV round trip (rate, length and format kept, echo removed)
// and the usage errors.
#include <gtest/gtest.h>
#include <math.h>
#include <sndfile.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const std::string kDir = ::testing::TempDir();

void writeWav(const std::string &path, const std::vector<float> &v) {
  SF_INFO info{};
  info.samplerate = 16000;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_writef_float(f, v.data(), sf_count_t(v.size()));
  sf_close(f);
}

std::vector<float> readWav(const std::string &path, SF_INFO *info) {
  SNDFILE *f = sf_open(path.c_str(), SFM_READ, info);
  if (!f) return {};
  std::vector<float> v(size_t(info->frames));
  sf_readf_float(f, v.data(), info->frames);
  sf_close(f);
  return v;
}

int cli(const std::string &args) {
  const int rc = system((std::string(QUOLM_AEC_CLI) + " " + args + " >" +
                         kDir + "cli.txt 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(Cli, CancelsAnEchoBetweenWavFiles) {
  const size_t n = 3 * 16000 + 77;  // not a whole number of frames
  std::vector<float> far(n), mic(n, 0.0f);
  uint32_t s = 1;
  for (size_t i = 0; i < n; ++i) {
    s = s * 1664525u + 1013904223u;
    far[i] = 0.3f * (float(s >> 8) / 8388608.0f - 1.0f);
    if (i > 40) mic[i] = 0.5f * far[i - 40] - 0.2f * far[i - 41];
  }
  writeWav(kDir + "far.wav", far);
  writeWav(kDir + "mic.wav", mic);
  ASSERT_EQ(cli(kDir + "far.wav " + kDir + "mic.wav " + kDir + "out.wav --frame 160 --tail-ms 32 --erle"), 0);
  SF_INFO info{};
  const std::vector<float> out = readWav(kDir + "out.wav", &info);
  EXPECT_EQ(info.samplerate, 16000);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(out.size(), n);
  double m = 0, o = 0;
  for (size_t i = n / 2; i < n; ++i) m += mic[i] * mic[i], o += out[i] * out[i];
  EXPECT_GT(10 * log10(m / o), 20);
  FILE *f = fopen((kDir + "cli.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  char line[128], last[128] = "";
  while (fgets(line, sizeof line, f)) snprintf(last, sizeof last, "%s", line);
  fclose(f);
  EXPECT_STREQ(last, "echo delay 40 samples (2.5 ms)\n");
}

TEST(Cli, ReportsUsageAndFileErrors) {
  EXPECT_EQ(cli(""), 2);
  EXPECT_EQ(cli("a.wav b.wav"), 2);
  EXPECT_EQ(cli("a.wav b.wav c.wav --frame 0"), 2);
  EXPECT_EQ(cli("a.wav b.wav c.wav --tail-ms x"), 2);
  EXPECT_EQ(cli(kDir + "missing.wav " + kDir + "missing.wav " + kDir + "o.wav"), 1);
}
