// SPDX-License-Identifier: MIT
// The library exports exactly the listed functions and nothing else, and its
// headers compile as C99.
#include <dirent.h>
#include <stdio.h>

#include <fstream>
#include <set>
#include <string>

#include "testutil32f.h"

extern "C" int cHeadersSmoke(void);

namespace {

std::set<std::string> expectedExports(int *families) {
  std::set<std::string> names;
  *families = 0;
  DIR *dir = opendir(QUOLM_EXPORTS_DIR);
  if (!dir) return names;
  while (dirent *e = readdir(dir)) {
    const std::string file = e->d_name;
    if (file.size() < 5 || file.substr(file.size() - 4) != ".txt") continue;
    if (file != "helpers32f.txt") ++*families;
    std::ifstream in(std::string(QUOLM_EXPORTS_DIR) + "/" + file);
    for (std::string name; in >> name;) names.insert(name);
  }
  closedir(dir);
#ifdef QUOLM_BUILD_DT64F
  names.insert("addIp64f");  // the double build also exports the addition
#endif
  return names;
}

std::set<std::string> libraryExports() {
  std::set<std::string> names;
#ifdef QUOLM_LIB_FILE
  FILE *p = popen("nm -D --defined-only '" QUOLM_LIB_FILE "'", "r");
  if (!p) return names;
  char line[512];
  while (fgets(line, sizeof line, p)) {
    char addr[64], type[8], name[400];
    if (sscanf(line, "%63s %7s %399s", addr, type, name) == 3) names.insert(name);
  }
  pclose(p);
#endif
  return names;
}

}  // namespace

TEST(Exports, LibraryExportsExactlyTheListedFunctions) {
#ifndef QUOLM_LIB_FILE
  GTEST_SKIP() << "static build: the library has no table of exports";
#endif
  int families = 0;
  const std::set<std::string> expected = expectedExports(&families);
  const std::set<std::string> actual = libraryExports();
  ASSERT_FALSE(expected.empty());
  for (const std::string &n : expected) EXPECT_TRUE(actual.count(n)) << "missing " << n;
  for (const std::string &n : actual) EXPECT_TRUE(expected.count(n)) << "unexpected " << n;
  if (families == 17) {
#ifdef QUOLM_BUILD_DT64F
    EXPECT_EQ(actual.size(), 225u);
#else
    EXPECT_EQ(actual.size(), 224u);
#endif
  }
}

TEST(Exports, HeadersCompileAndWorkAsC99) { EXPECT_EQ(cHeadersSmoke(), 0); }
