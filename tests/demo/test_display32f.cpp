// SPDX-License-Identifier: MIT
// Display utilities: the printed text and the counted result of each function,
// on standard output and on a stream.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "quolmdisplay32f.h"

extern "C" int cSmokeDisplay(void);

namespace {

struct Shown {
  std::string text;
  DT32S result;
};

std::string readAll(FILE *f) {
  std::string text;
  rewind(f);
  for (int c; (c = fgetc(f)) != EOF;) text += char(c);
  return text;
}

// Runs op with standard output sent to a temporary file.
Shown onStdout(const std::function<DT32S()> &op) {
  fflush(stdout);
  FILE *tmp = tmpfile();
  const int saved = dup(fileno(stdout));
  dup2(fileno(tmp), fileno(stdout));
  const DT32S result = op();
  fflush(stdout);
  dup2(saved, fileno(stdout));
  close(saved);
  const std::string text = readAll(tmp);
  fclose(tmp);
  return {text, result};
}

// Runs op on a fresh stream.
Shown onStream(const std::function<DT32S(FILE *)> &op) {
  FILE *tmp = tmpfile();
  const DT32S result = op(tmp);
  const std::string text = readAll(tmp);
  fclose(tmp);
  return {text, result};
}

// Whether a call printed text and returned result.
::testing::AssertionResult shows(const Shown &shown, const std::string &text,
                                 DT32S result) {
  if (shown.text == text && shown.result == result)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "printed \"" << shown.text << "\" and returned " << shown.result
         << ", expected \"" << text << "\" and " << result;
}

const std::string kRow = " 1.00000 -0.50000 \n";

}  // namespace

TEST(Display, RowCountsItsLineEndOnlyOnAStream) {
  const DT32F x[2] = {1.0f, -0.5f};
  EXPECT_TRUE(shows(onStdout([&] { return dispR32f(x, 2); }), kRow, 18));
  EXPECT_TRUE(
      shows(onStream([&](FILE *f) { return fdispR32f(f, x, 2); }), kRow, 19));

  EXPECT_TRUE(shows(onStdout([&] { return dispR32f(x, 0); }), "\n", 0));
  // Values are widened before printing: no float digits beyond the format.
  const DT32F tenth = 0.1f;
  EXPECT_EQ(onStdout([&] { return dispR32f(&tenth, 1); }).text, " 0.10000 \n");
}

TEST(Display, ColumnCountsEveryLineEnd) {
  const DT32F x[2] = {1.0f, -0.5f};
  const std::string expected = " 1.00000 \n-0.50000 \n\n";
  EXPECT_TRUE(shows(onStdout([&] { return dispC32f(x, 2); }), expected, 21));
  EXPECT_TRUE(shows(onStream([&](FILE *f) { return fdispC32f(f, x, 2); }),
                    expected, 21));

  EXPECT_TRUE(shows(onStdout([&] { return dispC32f(x, 0); }), "\n", 1));
}

TEST(Display, PackedSpectrumShowsTheLastBinFromElementZero) {
  // Two elements on the heap: showing 3 bins must not read a third, which the
  // sanitizer build would catch.
  const std::vector<DT32FC> x = {{1.0f, 4.0f}, {2.0f, 3.0f}};
  const std::string row =
      " 1.00000 +0.00000*i;  2.00000 +3.00000*i;  4.00000 +0.00000*i; \n";
  EXPECT_TRUE(shows(onStdout([&] { return dispR32fc(x.data(), 3); }), row,
                    DT32S(row.size())));
  EXPECT_TRUE(
      shows(onStream([&](FILE *f) { return fdispR32fc(f, x.data(), 3); }), row,
            DT32S(row.size())));

  const std::string column =
      " 1.00000 +0.00000*i; \n 2.00000 +3.00000*i; \n 4.00000 +0.00000*i; \n\n";
  EXPECT_TRUE(shows(onStdout([&] { return dispC32fc(x.data(), 3); }), column,
                    DT32S(column.size())));
  EXPECT_TRUE(
      shows(onStream([&](FILE *f) { return fdispC32fc(f, x.data(), 3); }),
            column, DT32S(column.size())));
}

TEST(Display, PackedSpectrumOfOneBinOrNone) {
  const DT32FC x = {1.0f, 4.0f};
  const std::string two = " 1.00000 +0.00000*i;  4.00000 +0.00000*i; \n";
  EXPECT_TRUE(shows(onStdout([&] { return dispR32fc(&x, 1); }), two,
                    DT32S(two.size())));
  // Zero bins print only the line end and never touch x.
  EXPECT_TRUE(shows(onStdout([] { return dispR32fc(nullptr, 0); }), "\n", 1));
  const Shown column =
      onStream([](FILE *f) { return fdispC32fc(f, nullptr, 0); });
  EXPECT_EQ(column.text, "\n");  // as a column of no values: the empty line
  EXPECT_EQ(column.result, 1);
}

TEST(Display, MatrixAndTransposeCountValuesOnly) {
  const DT32F x[6] = {1, 2, 3, 4, 5, 6};  // 3 rows of 2
  const std::string rows =
      " 1.00000  2.00000 \n 3.00000  4.00000 \n 5.00000  6.00000 \n";
  const std::string cols =
      " 1.00000  3.00000  5.00000 \n 2.00000  4.00000  6.00000 \n";
  EXPECT_TRUE(shows(onStdout([&] { return dispM32f(x, 2, 3); }), rows, 54));
  EXPECT_TRUE(shows(onStream([&](FILE *f) { return fdispM32f(f, x, 2, 3); }),
                    rows, 54));
  EXPECT_TRUE(shows(onStdout([&] { return dispMT32f(x, 2, 3); }), cols, 54));
  EXPECT_TRUE(shows(onStream([&](FILE *f) { return fdispMT32f(f, x, 2, 3); }),
                    cols, 54));
}

TEST(Display, MultichannelLayoutPutsOutputZeroFirst) {
  // 2 inputs x 2 outputs, 4 values per channel: x[i] = i / 16.
  DT32F x[16];
  for (int i = 0; i < 16; ++i) x[i] = DT32F(i) / 16;
  // Channel (in 1, out 1) starts at element 12.
  const std::string ch11 = " 0.75000  0.81250  0.87500 \n";
  EXPECT_TRUE(
      shows(onStdout([&] { return dispMcR32f(x, 4, 2, 1, 1, 3); }), ch11, 27));
  EXPECT_TRUE(
      shows(onStream([&](FILE *f) { return fdispMcR32f(f, x, 4, 2, 1, 1, 3); }),
            ch11, 28));
  // Channel (in 1, out 0) starts at element 4.
  const std::string col10 = " 0.25000 \n 0.31250 \n\n";
  EXPECT_TRUE(
      shows(onStdout([&] { return dispMcC32f(x, 4, 2, 1, 0, 2); }), col10, 21));
  EXPECT_EQ(onStream([&](FILE *f) {
              return fdispMcC32f(f, x, 4, 2, 1, 0, 2);
            }).result,
            21);

  // Every channel, first value only: (0,0), (1,0), (0,1), (1,1).
  const std::string all = " 0.00000 \n 0.25000 \n 0.50000 \n 0.75000 \n";
  EXPECT_TRUE(
      shows(onStdout([&] { return dispMc32f(x, 4, 2, 2, 1); }), all, 36));
  EXPECT_TRUE(
      shows(onStream([&](FILE *f) { return fdispMc32f(f, x, 4, 2, 2, 1); }),
            all, 40));
}

TEST(Display, FailedPrintsAddTheirNegativeResults) {
  // A stream open for reading only refuses every print with -1.
  char name[] = "/tmp/quolmdispXXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  FILE *f = fopen(name, "r");
  ASSERT_NE(f, nullptr);
  const DT32F x[2] = {1.0f, -0.5f};
  EXPECT_EQ(fdispR32f(f, x, 2), -3);     // two values and the line end
  EXPECT_EQ(fdispM32f(f, x, 2, 1), -2);  // the line end is not counted
  fclose(f);
  remove(name);
}

TEST(Display, HeaderCompilesAsC) { EXPECT_EQ(cSmokeDisplay(), 0); }
