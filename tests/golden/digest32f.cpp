// SPDX-License-Identifier: MIT
// Golden digest: runs every family over one fixed generated signal and hashes
// (FNV-1a, 64 bits, over the bytes) what each call returns or writes: outputs,
// errors, codes, and at the end the caller-owned coefficient and state blocks
// of an InitStatic record. Without an argument it prints one line per family
// ("name hex"); with a digest file it compares its own lines with the file's
// and fails on any difference. The signal comes from an integer generator and
// double arithmetic only, so it is the same on every machine; the FFT tables
// come from the library's header (cos/sin) and are hashed on their own line,
// so that a difference there points at the C library, not at the filters.
#include <stdio.h>

#include <map>
#include <string>

#include "digestinput32f.h"

namespace {

using namespace digest32f;

void fir(Hash &h) {
  Vec taps(kN), y(kB);
  for (DT32S k = 0; k < kN; ++k) taps[k] = DT32F(double(k % 5) / 8.0 - 0.25);
  Blocks b(0, kN);
  quolmFir f;
  h.code(fir32fInitStatic(&f, kN, taps.data(), b.state.data()));
  const Signal &s = sig();
  for (DT32S n = 0; n + kB <= kLen; n += kB) {
    if (n % (2 * kB) == 0) {
      h.code(fir32fBlockFilter(&f, &s.x[n], y.data(), kB));
      h.values(y);
    } else {
      for (DT32S k = 0; k < kB; ++k) h.value(fir32fFilter(&f, s.x[n + k]));
    }
  }
  b.hash(h);
}

// A per-sample family with an error field on blocks b (N values each
// unless given).
template <class Record, class Init, class Update, class Only>
void lmsLike(Hash &h, Init init, Update update, Only only,
             Blocks b = Blocks(kN, kN)) {
  Record f;
  h.code(init(&f, b.coef.data(), b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = update(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return only(&f, x); });
  b.hash(h);
}

void lms(Hash &h) {
  const auto init = [](quolmLms *f, DT32F *c, DT32F *s) {
    return lms32fInitStatic(f, kN, DT32F(0.01), c, s);
  };
  for (auto law : {lms32fFilterUpdate,  // the four laws, a record each lms32fFilterUpdateSignErr,
                   lms32fFilterUpdateSignReg, lms32fFilterUpdateSignSign})
    lmsLike<quolmLms>(h, init, law, lms32fFilterOnly);
}

void nlms(Hash &h) {
  lmsLike<quolmNlms>(
      h, [](quolmNlms *f, DT32F *c, DT32F *s) {
        return nlms32fInitStatic(f, kN, DT32F(0.02), c, s); },
      nlms32fFilterUpdate, nlms32fFilterOnly);
}

void tdlms(Hash &h) {
  Tables &t = tables();
  lmsLike<quolmTdlms>(
      h, [&t](quolmTdlms *f, DT32F *c, DT32F *s) {
        return tdlms32fInitStatic(f, 40, DT32F(0.005), c, s, t.work.data(),
                                  t.table.data()); },
      tdlms32fFilterUpdate, tdlms32fFilterOnly,
      Blocks(64, 2 * 64 + 2 * (64 / 2 + 1)));
}

void rls(Hash &h) {
  Blocks b(kN, kN * (kN + 1) / 2 + 2 * kN);
  quolmRls f;
  h.code(rls32fInitStatic(&f, kN, DT32F(0.999), DT32F(1.0), b.coef.data(),
                          b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = rls32fFilterUpdate(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return rls32fFilterOnly(&f, x); });
  b.hash(h);
}

// Active control through the secondary path: FxLMS and the adjoint form.
void fxlms(Hash &h) {
  Blocks b(kN, 4 + kN + kN);
  quolmFxlms f;
  h.code(fxlms32fInitStatic(&f, kN, DT32F(0.01), kSecPath, 4, kSecModel, 4,
                            b.coef.data(), b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = fxlms32fFilterUpdate(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return fxlms32fFilterOnly(&f, x); });
  b.hash(h);
}

void adjlms(Hash &h) {
  Blocks b(kN, kN + 2 * 4 + 4 - 1);
  quolmAdjlms f;
  h.code(adjlms32fInitStatic(&f, kN, DT32F(0.01), kSecPath, 4, kSecModel, 4,
                             b.coef.data(), b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = adjlms32fFilterUpdate(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return adjlms32fFilterOnly(&f, x); });
  b.hash(h);
}

void blms(Hash &h) {
  for (auto law : {blms32fFilterUpdate, blms32fFilterUpdateSignErr,
                   blms32fFilterUpdateSignReg, blms32fFilterUpdateSignSign}) {
    Blocks b(kN, kN);
    quolmBlms f;
    h.code(blms32fInitStatic(&f, kN, kB, DT32F(0.005), b.coef.data(),
                             b.state.data()));
    perBlock(h, [&](DT32F *x, DT32F *d, DT32F *y, DT32F *e) { return law(&f, x, d, y, e); },
             [&](DT32F *x, DT32F *y) { return blms32fFilterOnly(&f, x, y); });
    b.hash(h);
  }
}

void bnlms(Hash &h) {
  Blocks b(kN, kN);
  quolmBnlms f;
  h.code(bnlms32fInitStatic(&f, kN, kB, DT32F(0.02), b.coef.data(),
                            b.state.data()));
  perBlock(h, [&](DT32F *x, DT32F *d, DT32F *y, DT32F *e) {
             return bnlms32fFilterUpdate(&f, x, d, y, e); },
           [&](DT32F *x, DT32F *y) { return bnlms32fFilterOnly(&f, x, y); });
  b.hash(h);
}

void bfdaf(Hash &h) {
  Tables &t = tables();
  constexpr DT32S N = 100, M = 128;  // M >= N + B - 1
  for (DT32S constrain : {0, 1}) {
    Blocks b(M, (M - kB) + 2 * M + 2 * (M / 2 + 1));
    quolmBfdaf f;
    h.code(bfdaf32fInitStatic(&f, N, kB, DT32F(0.05), constrain,
                              b.coef.data(), b.state.data(), t.work.data(),
                              t.table.data()));
    perBlock(h, [&](DT32F *x, DT32F *d, DT32F *y, DT32F *e) {
               return bfdaf32fFilterUpdate(&f, x, d, y, e); },
             [&](DT32F *x, DT32F *y) { return bfdaf32fFilterOnly(&f, x, y); });
    b.hash(h);
  }
}

void pbfdaf(Hash &h) {
  Tables &t = tables();
  constexpr DT32S P = 2, L = 20, M = 64;  // M >= L + B - 1
  for (DT32S constrain : {0, 1}) {
    Blocks b(P * M, (M - kB) + (P + 2) * M + M / 2 + 1);
    quolmPbfdaf f;
    h.code(pbfdaf32fInitStatic(&f, L, kB, P, DT32F(0.05), constrain,
                               b.coef.data(), b.state.data(), t.work.data(),
                               t.table.data()));
    perBlock(h, [&](DT32F *x, DT32F *d, DT32F *y, DT32F *e) {
               return pbfdaf32fFilterUpdate(&f, x, d, y, e); },
             [&](DT32F *x, DT32F *y) { return pbfdaf32fFilterOnly(&f, x, y); });
    b.hash(h);
  }
}

void lmslattice(Hash &h) {
  Blocks b(2 * kN, 3 * kN);
  quolmLmslattice f;
  h.code(lmslattice32fInitStatic(&f, kN, DT32F(0.01), DT32F(0.05),
                                 b.coef.data(), b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = lmslattice32fFilterUpdate(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return lmslattice32fFilterOnly(&f, x); });
  b.hash(h);
}

void rlslattice(Hash &h) {
  Blocks b(3 * kN, 6 * kN);
  quolmRlslattice f;
  h.code(rlslattice32fInitStatic(&f, kN, DT32F(0.999), b.coef.data(),
                                 b.state.data()));
  perSample(h, [&](DT32F x, DT32F d) { const DT32F y = rlslattice32fFilterUpdate(&f, x, d);
                                       h.value(f.err); return y; },
            [&](DT32F x) { return rlslattice32fFilterOnly(&f, x); });
  b.hash(h);
}

// The prediction-error filters take the input only; err is their output.
template <class Record, class Update, class Only>
void predictor(Hash &h, Record &f, const Blocks &b, Update update, Only only) {
  perSample(h, [&](DT32F x, DT32F) { const DT32F y = update(&f, x);
                                     h.value(f.err); return y; },
            [&](DT32F x) { return only(&f, x); });
  b.hash(h);
}

void lfpef(Hash &h) {
  Blocks b(2 * kN, 3 * (kN + 1));
  quolmLfpef f;
  h.code(lfpef32fInitStatic(&f, kN, DT32F(0.01), b.coef.data(), b.state.data()));
  predictor(h, f, b, lfpef32fFilterUpdate, lfpef32fFilterOnly);
}

void lbpef(Hash &h) {
  Blocks b(2 * kN, 4 * (kN + 1));
  quolmLbpef f;
  h.code(lbpef32fInitStatic(&f, kN, DT32F(0.01), b.coef.data(), b.state.data()));
  predictor(h, f, b, lbpef32fFilterUpdate, lbpef32fFilterOnly);
}

void rlslfpef(Hash &h) {
  Blocks b(3 * kN, 5 * kN);
  quolmRlslfpef f;
  h.code(rlslfpef32fInitStatic(&f, kN, DT32F(0.999), b.coef.data(),
                               b.state.data()));
  predictor(h, f, b, rlslfpef32fFilterUpdate, rlslfpef32fFilterOnly);
}

void rlslbpef(Hash &h) {
  Blocks b(3 * kN, 6 * kN + 1);
  quolmRlslbpef f;
  h.code(rlslbpef32fInitStatic(&f, kN, DT32F(0.999), b.coef.data(),
                               b.state.data()));
  predictor(h, f, b, rlslbpef32fFilterUpdate, rlslbpef32fFilterOnly);
}

void fftTables(Hash &h) {
  h.bytes(tables().work.data(), tables().work.size() * sizeof(DT32S));
  h.values(tables().table);
}

const struct {
  const char *name;
  void (*run)(Hash &);
} kFamilies[] = {
    {"ffttables32f", fftTables}, {"fir32f", fir},       {"lms32f", lms},
    {"nlms32f", nlms},           {"blms32f", blms},     {"bnlms32f", bnlms},
    {"fxlms32f", fxlms},         {"adjlms32f", adjlms}, {"bfdaf32f", bfdaf},
    {"pbfdaf32f", pbfdaf},       {"tdlms32f", tdlms},   {"lmslattice32f", lmslattice},
    {"lfpef32f", lfpef},         {"lbpef32f", lbpef},   {"rls32f", rls},
    {"rlslattice32f", rlslattice}, {"rlslfpef32f", rlslfpef},
    {"rlslbpef32f", rlslbpef},
};

// name -> digest for the lines of `path` ("name hex"; # starts a comment).
std::map<std::string, std::string> readDigests(const char *path) {
  std::map<std::string, std::string> m;
  FILE *in = fopen(path, "r");
  if (!in) return m;
  char name[64], hex[32];
  char line[256];
  while (fgets(line, sizeof line, in))
    if (line[0] != '#' && sscanf(line, "%63s %31s", name, hex) == 2)
      m[name] = hex;
  fclose(in);
  return m;
}

}  // namespace

int main(int argc, char **argv) {
  const std::map<std::string, std::string> golden =
      argc > 1 ? readDigests(argv[1]) : std::map<std::string, std::string>();
  if (argc > 1 && golden.empty()) {
    fprintf(stderr, "cannot read digests from %s\n", argv[1]);
    return 2;
  }
  int failures = 0;
  for (const auto &family : kFamilies) {
    Hash h;
    family.run(h);
    char hex[32];
    snprintf(hex, sizeof hex, "%016llx", (unsigned long long)h.h);
    if (!h.sound) {
      printf("%s: a call failed or gave a non-finite value\n", family.name);
      ++failures;
    }
    if (argc == 1) {
      printf("%s %s\n", family.name, hex);
      continue;
    }
    const auto it = golden.find(family.name);
    if (it == golden.end() || it->second != hex) {
      printf("%s: digest %s, expected %s\n", family.name, hex,
             it == golden.end() ? "(none)" : it->second.c_str());
      ++failures;
    }
  }
  if (argc > 1) printf("%d of %zu families differ\n", failures,
                       sizeof kFamilies / sizeof kFamilies[0]);
  return failures ? 1 : 0;
}
