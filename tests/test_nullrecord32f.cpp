// SPDX-License-Identifier: MIT
// Every exported operation that answers with a code answers -1 for a null
// record (the helpers: for a null vector). The table is checked against the
// export lists, so an export added without an entry fails here. What an
// operation answers is told by its C return type: DT32S is a code, DT32F is
// a per-sample output (no checks by contract, so not called), void is Free
// (called, must not crash).
#include <dirent.h>

#include <fstream>
#include <map>
#include <string>
#include <type_traits>

#include "testutil32f.h"

namespace {

// Zeroed room behind every pointer argument but the record, so that only the
// record can be the reason for -1.
alignas(64) unsigned char room[1 << 12];

// Plausible values for the other arguments: sizes 4, step sizes and
// forgetting factors 0.5, pointers into room.
template <class T>
T arg() {
  if constexpr (std::is_pointer_v<T>) return reinterpret_cast<T>(room);
  else if constexpr (std::is_floating_point_v<T>) return T(0.5);
  else return T(4);
}

enum class Answer { Code, Sample, Nothing };

struct Entry {
  Answer answer;
  std::function<DT32S()> call;  // with a null first pointer
};

template <class R, class P, class... A>
Entry entry(R (*fn)(P *, A...)) {
  if constexpr (std::is_same_v<R, DT32S>)
    return {Answer::Code, [fn] { return fn(nullptr, arg<A>()...); }};
  else if constexpr (std::is_void_v<R>)
    return {Answer::Nothing, [fn] {
              fn(nullptr, arg<A>()...);
              return DT32S(0);
            }};
  else
    return {Answer::Sample, [] { return DT32S(0); }};
}

#define E(f) {#f, entry(f)}

const std::map<std::string, Entry> &operations() {
  static const std::map<std::string, Entry> table = {
    E(adjlms32fFilterOnly), E(adjlms32fFilterUpdate), E(adjlms32fFree),
    E(adjlms32fGetCoef), E(adjlms32fGetDelayLine), E(adjlms32fInit),
    E(adjlms32fInitStatic), E(adjlms32fReset), E(adjlms32fResetDelayLine),
    E(adjlms32fResize), E(adjlms32fSetCoef), E(adjlms32fSetDelayLine),
    E(bfdaf32fFilterOnly), E(bfdaf32fFilterUpdate), E(bfdaf32fFree),
    E(bfdaf32fGetCoef), E(bfdaf32fInit), E(bfdaf32fInitStatic),
    E(bfdaf32fReset), E(bfdaf32fResetDelayLine), E(bfdaf32fResize),
    E(bfdaf32fSetCoef),
    E(blms32fFilterOnly), E(blms32fFilterUpdate),
    E(blms32fFilterUpdateSignErr), E(blms32fFilterUpdateSignReg),
    E(blms32fFilterUpdateSignSign), E(blms32fFree), E(blms32fGetCoef),
    E(blms32fGetDelayLine), E(blms32fInit), E(blms32fInitStatic),
    E(blms32fReset), E(blms32fResetDelayLine), E(blms32fResize),
    E(blms32fSetCoef), E(blms32fSetDelayLine),
    E(bnlms32fFilterOnly), E(bnlms32fFilterUpdate), E(bnlms32fFree),
    E(bnlms32fGetCoef), E(bnlms32fGetDelayLine), E(bnlms32fInit),
    E(bnlms32fInitStatic), E(bnlms32fReset), E(bnlms32fResetDelayLine),
    E(bnlms32fResize), E(bnlms32fSetCoef), E(bnlms32fSetDelayLine),
    E(fir32fBlockFilter), E(fir32fFilter), E(fir32fFree), E(fir32fGetCoef),
    E(fir32fGetDelayLine), E(fir32fInit), E(fir32fInitStatic),
    E(fir32fLCFilter), E(fir32fResetDelayLine), E(fir32fResize),
    E(fir32fSetCoef), E(fir32fSetDelayLine),
    E(fxlms32fFilterOnly), E(fxlms32fFilterUpdate), E(fxlms32fFree),
    E(fxlms32fGetCoef), E(fxlms32fGetDelayLine), E(fxlms32fInit),
    E(fxlms32fInitStatic), E(fxlms32fReset), E(fxlms32fResetDelayLine),
    E(fxlms32fResize), E(fxlms32fSetCoef), E(fxlms32fSetDelayLine),
    E(lbpef32fFilterOnly), E(lbpef32fFilterUpdate), E(lbpef32fFree),
    E(lbpef32fGetCoef), E(lbpef32fGetDelayLine), E(lbpef32fGetParcor),
    E(lbpef32fInit), E(lbpef32fInitStatic), E(lbpef32fReset),
    E(lbpef32fResize), E(lbpef32fSetCoef), E(lbpef32fSetDelayLine),
    E(lbpef32fSetParcor),
    E(lfpef32fFilterOnly), E(lfpef32fFilterUpdate), E(lfpef32fFree),
    E(lfpef32fGetCoef), E(lfpef32fGetDelayLine), E(lfpef32fGetParcor),
    E(lfpef32fInit), E(lfpef32fInitStatic), E(lfpef32fReset),
    E(lfpef32fResize), E(lfpef32fSetCoef), E(lfpef32fSetDelayLine),
    E(lfpef32fSetParcor),
    E(lms32fFilterOnly), E(lms32fFilterUpdate),
    E(lms32fFilterUpdateSignErr), E(lms32fFilterUpdateSignReg),
    E(lms32fFilterUpdateSignSign), E(lms32fFree), E(lms32fGetCoef),
    E(lms32fGetDelayLine), E(lms32fInit), E(lms32fInitStatic),
    E(lms32fLCFilterOnly), E(lms32fLCFilterUpdate),
    E(lms32fLCFilterUpdateSignErr), E(lms32fLCFilterUpdateSignReg),
    E(lms32fLCFilterUpdateSignSign), E(lms32fReset),
    E(lms32fResetDelayLine), E(lms32fResize), E(lms32fSetCoef),
    E(lms32fSetDelayLine),
    E(lmslattice32fFilterOnly), E(lmslattice32fFilterUpdate),
    E(lmslattice32fFree), E(lmslattice32fGetCoef),
    E(lmslattice32fGetDelayLine), E(lmslattice32fGetParcor),
    E(lmslattice32fInit), E(lmslattice32fInitStatic), E(lmslattice32fReset),
    E(lmslattice32fResize), E(lmslattice32fSetCoef),
    E(lmslattice32fSetDelayLine), E(lmslattice32fSetParcor),
    E(nlms32fFilterOnly), E(nlms32fFilterUpdate), E(nlms32fFree),
    E(nlms32fGetCoef), E(nlms32fGetDelayLine), E(nlms32fInit),
    E(nlms32fInitStatic), E(nlms32fLCFilterOnly), E(nlms32fLCFilterUpdate),
    E(nlms32fReset), E(nlms32fResetDelayLine), E(nlms32fResize),
    E(nlms32fSetCoef), E(nlms32fSetDelayLine),
    E(pbfdaf32fFilterOnly), E(pbfdaf32fFilterUpdate), E(pbfdaf32fFree),
    E(pbfdaf32fGetCoef), E(pbfdaf32fInit), E(pbfdaf32fInitStatic),
    E(pbfdaf32fReset), E(pbfdaf32fResetDelayLine), E(pbfdaf32fResize),
    E(pbfdaf32fSetCoef),
    E(rls32fFilterOnly), E(rls32fFilterUpdate), E(rls32fFree),
    E(rls32fGetCoef), E(rls32fGetDelayLine), E(rls32fInit),
    E(rls32fInitStatic), E(rls32fLCFilterOnly), E(rls32fLCFilterUpdate),
    E(rls32fReset), E(rls32fResetDelayLine), E(rls32fResize),
    E(rls32fSetCoef), E(rls32fSetDelayLine),
    E(rlslattice32fFilterOnly), E(rlslattice32fFilterUpdate),
    E(rlslattice32fFree), E(rlslattice32fGetBackwardParcors),
    E(rlslattice32fGetCoef), E(rlslattice32fGetDelayLine),
    E(rlslattice32fGetForwardParcors), E(rlslattice32fInit),
    E(rlslattice32fInitStatic), E(rlslattice32fReset),
    E(rlslattice32fResize), E(rlslattice32fSetDelayLine),
    E(rlslbpef32fFilterOnly), E(rlslbpef32fFilterUpdate),
    E(rlslbpef32fFree), E(rlslbpef32fGetBackwardParcors),
    E(rlslbpef32fGetCoef), E(rlslbpef32fGetDelayLine),
    E(rlslbpef32fGetForwardParcors), E(rlslbpef32fInit),
    E(rlslbpef32fInitStatic), E(rlslbpef32fReset), E(rlslbpef32fResize),
    E(rlslbpef32fSetDelayLine),
    E(rlslfpef32fFilterOnly), E(rlslfpef32fFilterUpdate),
    E(rlslfpef32fFree), E(rlslfpef32fGetBackwardParcors),
    E(rlslfpef32fGetCoef), E(rlslfpef32fGetDelayLine),
    E(rlslfpef32fGetForwardParcors), E(rlslfpef32fInit),
    E(rlslfpef32fInitStatic), E(rlslfpef32fReset), E(rlslfpef32fResize),
    E(rlslfpef32fSetDelayLine),
    E(tdlms32fFilterOnly), E(tdlms32fFilterUpdate), E(tdlms32fFree),
    E(tdlms32fGetCoef), E(tdlms32fGetDelayLine), E(tdlms32fInit),
    E(tdlms32fInitStatic), E(tdlms32fLCFilterOnly),
    E(tdlms32fLCFilterUpdate), E(tdlms32fReset), E(tdlms32fResetDelayLine),
    E(tdlms32fResize), E(tdlms32fSetCoef), E(tdlms32fSetDelayLine),
    E(reset32f),
    {"set32f", {Answer::Code, [] { return set32f(DT32F(1), nullptr, 4); }}},
    {"insertSampleLinBuf32f",
     {Answer::Code, [] { return insertSampleLinBuf32f(DT32F(1), nullptr, 4); }}},
    {"nextPow2", {Answer::Sample, [] { return DT32S(0); }}},  // a value
  };
  return table;
}

#undef E

std::vector<std::string> exportedNames() {
  std::vector<std::string> names;
  DIR *dir = opendir(QUOLM_EXPORTS_DIR);
  if (!dir) return names;
  while (dirent *e = readdir(dir)) {
    const std::string file = e->d_name;
    if (file.size() < 5 || file.substr(file.size() - 4) != ".txt") continue;
    std::ifstream in(std::string(QUOLM_EXPORTS_DIR) + "/" + file);
    for (std::string name; in >> name;) names.push_back(name);
  }
  closedir(dir);
  return names;
}

}  // namespace

TEST(NullRecord, EveryCodeReturningExportAnswersMinusOne) {
  const std::vector<std::string> names = exportedNames();
  ASSERT_EQ(names.size(), 224u);
  int codes = 0;
  for (const std::string &name : names) {
    const auto it = operations().find(name);
    if (it == operations().end()) {
      ADD_FAILURE() << name << " has no entry in the table";
      continue;
    }
    const Entry &op = it->second;
    if (op.answer == Answer::Sample) continue;
    const DT32S rc = op.call();
    if (op.answer != Answer::Code) continue;
    EXPECT_EQ(rc, -1) << name;
    ++codes;
  }
  EXPECT_EQ(codes, 166) << "code-returning operations checked";
}
