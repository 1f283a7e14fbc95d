// SPDX-License-Identifier: MIT
// libFuzzer target: the first byte picks a family, the rest drives one
// record of it through driver32f.h. Built with clang, ASan and UBSan.
#include "fdafcalls32f.h"
#include "latticecalls32f.h"
#include "transversalcalls32f.h"

// Huge sizes must end in the library's allocation-failure code, not in an
// exhausted machine: allocations above kMaxValues doubles fail.
extern "C" const char *__asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace fuzz32f;
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 16)) {
    case 0: run(kFir, in); break;
    case 1: run(kLms, in); break;
    case 2: run(kNlms, in); break;
    case 3: run(kBlms, in); break;
    case 4: run(kBnlms, in); break;
    case 5: run(kFxlms, in); break;
    case 6: run(kAdjlms, in); break;
    case 7: run(kBfdaf, in); break;
    case 8: run(kPbfdaf, in); break;
    case 9: run(kTdlms, in); break;
    case 10: run(kLmslattice, in); break;
    case 11: run(kLfpef, in); break;
    case 12: run(kLbpef, in); break;
    case 13: run(kRls, in); break;
    case 14: run(kRlslattice, in); break;
    case 15: run(kRlslfpef, in); break;
    default: run(kRlslbpef, in); break;
  }
  return 0;
}
