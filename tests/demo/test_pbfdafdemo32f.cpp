// SPDX-License-Identifier: MIT
// The demo program, run in a temporary folder: its files, its console output,
// how well it identifies the plant, and its ways out when a file cannot be
// opened.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const double kPlant[12] = {0.1, 0.3, -0.4, 0.7, -0.3, 0.9,
                           0.5, 0.2, 0.1,  0.4, 0.8,  0.6};
const int kSamples = 4998;

struct TempDir {
  std::string path;
  TempDir() {
    std::string pattern =
        (fs::temp_directory_path() / "quolmdemoXXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~TempDir() {
    if (!path.empty()) fs::remove_all(path);
  }
  std::string file(const std::string &name) const { return path + "/" + name; }
};

struct Outcome {
  int status = -999;  // exit status as main returned it (-2, not 254)
  std::string console;
  double cpuSeconds = 0;  // processor time of the child, shell included
};

double childCpu() {
  rusage u;
  getrusage(RUSAGE_CHILDREN, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
         1e-6 * (u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

Outcome runDemo(const std::string &dir) {
  Outcome run;
  const double before = childCpu();
  const std::string cmd = "cd '" + dir + "' && exec '" QUOLM_DEMO_FILE "'";
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return run;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
    run.console.append(buf, n);
  const int w = pclose(p);
  run.cpuSeconds = childCpu() - before;
  if (WIFEXITED(w)) run.status = int(static_cast<signed char>(WEXITSTATUS(w)));
  return run;
}

std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t nl; (nl = text.find('\n', from)) != std::string::npos;
       from = nl + 1)
    out.push_back(text.substr(from, nl - from));
  if (from < text.size()) out.push_back(text.substr(from));  // unterminated
  return out;
}

std::vector<std::string> fileLines(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return lines(std::string(std::istreambuf_iterator<char>(in), {}));
}

std::vector<double> values(const std::vector<std::string> &ls) {
  std::vector<double> v;
  for (const std::string &l : ls)
    if (!l.empty()) v.push_back(strtod(l.c_str(), nullptr));
  return v;
}

double dB(double num, double den) { return 10.0 * log10(num / den); }

double meanSquare(const std::vector<double> &v, size_t from) {
  double s = 0;
  for (size_t i = from; i < v.size(); ++i) s += v[i] * v[i];
  return s / double(v.size() - from);
}

// One successful run shared by the tests of its results.
class DemoRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new TempDir;
    run = new Outcome(runDemo(dir->path));
  }
  static void TearDownTestSuite() {
    delete run;
    delete dir;
  }
  static std::vector<double> signal(const char *name) {
    return values(fileLines(dir->file(name)));
  }
  static TempDir *dir;
  static Outcome *run;
};
TempDir *DemoRun::dir;
Outcome *DemoRun::run;

const std::regex kSample(R"([+-][0-9]\.[0-9]{5})");
const std::regex kColumnValue(R"([ -][0-9]\.[0-9]{5} )");

}  // namespace

TEST_F(DemoRun, WritesFourSignalsOfAllSamplesAndTheCoefficientColumn) {
  ASSERT_EQ(run->status, 0) << run->console;
  for (const char *name : {"inp.txt", "des.txt", "out.txt", "err.txt"}) {
    const std::vector<std::string> ls = fileLines(dir->file(name));
    EXPECT_EQ(ls.size(), size_t(kSamples)) << name;
    for (size_t i = 0; i < ls.size(); ++i)
      if (!std::regex_match(ls[i], kSample)) {
        ADD_FAILURE() << name << " line " << i + 1 << ": '" << ls[i] << "'";
        break;
      }
  }
  const std::vector<std::string> cof = fileLines(dir->file("cof.txt"));
  ASSERT_EQ(cof.size(), 13u);
  for (int i = 0; i < 12; ++i)
    EXPECT_TRUE(std::regex_match(cof[i], kColumnValue)) << "'" << cof[i] << "'";
  EXPECT_EQ(cof[12], "");
}

TEST_F(DemoRun, InputIsUniformNoiseInHalfUnitRange) {
  ASSERT_EQ(run->status, 0);
  const std::vector<double> x = signal("inp.txt");
  ASSERT_EQ(x.size(), size_t(kSamples));
  double mean = 0, lo = 1, hi = -1;
  for (double v : x) {
    mean += v;
    lo = fmin(lo, v);
    hi = fmax(hi, v);
  }
  mean /= x.size();
  double var = 0;
  for (double v : x) var += (v - mean) * (v - mean);
  var /= x.size();
  EXPECT_GE(lo, -0.5);
  EXPECT_LE(hi, 0.5);
  EXPECT_LT(lo, -0.49);
  EXPECT_GT(hi, 0.49);
  EXPECT_NEAR(mean, 0.0, 0.02);
  EXPECT_NEAR(var, 1.0 / 12, 0.006) << "variance of U(-0.5, 0.5) is 1/12";
}

TEST_F(DemoRun, ErrorIsDesiredMinusOutput) {
  ASSERT_EQ(run->status, 0);
  const std::vector<double> d = signal("des.txt"), y = signal("out.txt"),
                            e = signal("err.txt");
  ASSERT_EQ(d.size(), size_t(kSamples));
  ASSERT_EQ(y.size(), d.size());
  ASSERT_EQ(e.size(), d.size());
  double worst = 0;
  for (size_t i = 0; i < d.size(); ++i)
    worst = fmax(worst, fabs(e[i] - (d[i] - y[i])));
  // Three printed values, each rounded to half a unit of the fifth decimal.
  EXPECT_LE(worst, 1.6e-5);
}

TEST_F(DemoRun, ModelLearnsThePlant) {
  ASSERT_EQ(run->status, 0);
  const std::vector<double> w = values(fileLines(dir->file("cof.txt")));
  ASSERT_EQ(w.size(), 12u);
  double worst = 0;
  for (int k = 0; k < 12; ++k) worst = fmax(worst, fabs(w[k] - kPlant[k]));
  EXPECT_LE(worst, 0.02) << "largest coefficient error " << worst;

  const std::vector<double> d = signal("des.txt"), e = signal("err.txt");
  ASSERT_EQ(e.size(), size_t(kSamples));
  const double level =
      dB(meanSquare(e, kSamples - 500), meanSquare(d, kSamples - 500));
  // -inf: every printed error has become 0.00000.
  EXPECT_LE(level, -30.0) << "error power of the last 500 samples: " << level
                          << " dB relative to the desired signal";
  if (getenv("QUOLM_FIGURES"))
    printf(
        "pbfdafdemo: coefficient error at most %.2e, last 500 error samples "
        "%.1f dB\n",
        worst, level);
}

TEST_F(DemoRun, ConsoleShowsCoefficientRowThenElapsedTime) {
  ASSERT_EQ(run->status, 0);
  const std::vector<std::string> ls = lines(run->console);
  ASSERT_EQ(ls.size(), 4u) << run->console;
  ASSERT_EQ(run->console.back(), '\n');
  EXPECT_TRUE(
      std::regex_match(ls[0], std::regex(R"(([ -][0-9]\.[0-9]{5} ){12})")))
      << "'" << ls[0] << "'";
  EXPECT_EQ(ls[1], "");
  EXPECT_EQ(ls[2], "Elapsed Time      in Seconds");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(
      ls[3], m, std::regex(R"(PBFDAF {12}( *[0-9]+\.[0-9]{10}))")))
      << "'" << ls[3] << "'";
  EXPECT_EQ(m[1].length(), 12) << "%10.10f of a value below 10";
  // The loop's processor time in seconds cannot exceed what the child spent.
  const double seconds = strtod(m[1].str().c_str(), nullptr);
  EXPECT_GE(seconds, 0.0);
  EXPECT_LE(seconds, run->cpuSeconds + 0.01)
      << "child used " << run->cpuSeconds << " s";

  // The same coefficients as in cof.txt.
  const std::vector<double> file = values(fileLines(dir->file("cof.txt")));
  std::istringstream row(ls[0]);
  for (int k = 0; k < 12; ++k) {
    double v = NAN;
    row >> v;
    EXPECT_EQ(v, file[k]) << "tap " << k;
  }
}

struct Blocked {
  const char *name;
  int status;
};

class DemoCannotOpen : public ::testing::TestWithParam<Blocked> {};

TEST_P(DemoCannotOpen, NamesTheFileAndReturnsItsStatus) {
  // A folder of the file's name cannot be opened for writing, even by root.
  const Blocked b = GetParam();
  TempDir dir;
  ASSERT_EQ(mkdir(dir.file(b.name).c_str(), 0755), 0);
  const Outcome run = runDemo(dir.path);
  EXPECT_EQ(run.status, b.status);
  EXPECT_EQ(run.console,
            std::string("Can't open file ") + b.name + " for writing");

  // The files opened before are there; those after it are not.
  const std::vector<std::string> order = {"inp.txt", "des.txt", "out.txt",
                                          "err.txt", "cof.txt"};
  bool before = true;
  for (const std::string &f : order) {
    if (f == b.name) {
      before = false;
      continue;
    }
    EXPECT_EQ(fs::is_regular_file(dir.file(f)), before) << f;
  }
  // The block loop runs only once every signal file is open.
  const std::string name = b.name;
  if (name == "cof.txt")
    EXPECT_EQ(fileLines(dir.file("err.txt")).size(), size_t(kSamples));
  else if (name != "inp.txt")
    EXPECT_EQ(fs::file_size(dir.file("inp.txt")), 0u);
}

INSTANTIATE_TEST_SUITE_P(Files, DemoCannotOpen,
                         ::testing::Values(Blocked{"inp.txt", -2},
                                           Blocked{"des.txt", -3},
                                           Blocked{"out.txt", -3},
                                           Blocked{"err.txt", -3},
                                           Blocked{"cof.txt", -4}),
                         [](const ::testing::TestParamInfo<Blocked> &i) {
                           std::string n = i.param.name;
                           return n.substr(0, n.find('.'));
                         });
