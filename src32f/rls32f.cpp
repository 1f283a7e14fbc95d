// SPDX-License-Identifier: MIT
// Recursive-least-squares adaptive transversal filter: the record, its
// lifecycle and the per-sample step; the arithmetic on P, the packed inverse
// correlation triangle, lives in rlstriangle32f.cpp.
#include "quolmrls32f.h"  // first: its declarations carry the export mark
#include <string.h>

#include <limits>

#include "consts32f.h"
#include "rlstriangle32f.h"
#include "transversal32f.h"

using namespace quolm32f;

typedef quolmRls Rec;

namespace {

// Values of the whole state block (delay line, gain vector, the n(n+1)/2
// values of the triangle) for both Inits; false when size_t cannot hold the
// count. Init also refuses a count that DT32S cannot index; a caller's block
// of InitStatic is only bounded by size_t, as it exists.
bool stateSize(DT32S n, size_t &total) {
  const size_t a = size_t(n), b = size_t(n) + 1;  // n(n+1)/2 without overflow
  return !__builtin_mul_overflow(a % 2 ? a : a / 2, a % 2 ? b / 2 : b,
                                 &total) &&
         !__builtin_add_overflow(total, 2 * a, &total);
}

// Points the record into its blocks and writes the starting values: P = delta
// on the diagonal; everything else is already zero.
DT32S rlsSetUp(quolmRls *f, DT32S n, DT32F lambda, DT32F delta,
               DT32F *coefs, DT32F *state) {
  f->length = n;
  f->lambda = lambda;
  f->invLambda = DT32F(1.0 / Acc(lambda));
  f->err = DT32F(0);
  f->coefs = coefs;
  f->delayLine = state;
  f->gain = state + n;
  f->invCorr = state + 2 * size_t(n);
  size_t diag = 0;
  for (DT32S r = 0; r < n; ++r) {
    f->invCorr[diag] = delta;
    diag += size_t(r) + 2;  // from P(r, r) to P(r+1, r+1)
  }
  return 0;
}

// Both Inits: -2 for a length below 1 or a delta outside 0..1 (not a number
// included); then the blocks, allocated or the caller's (callerBuffers),
// which are zeroed and only bounded by size_t.
DT32S rlsInit(quolmRls *f, DT32S n, DT32F lambda, DT32F delta,
              bool callerBuffers, DT32F *coefBuf, DT32F *stateBuf) {
  if (!f) return -1;
  f->length = 0;
  if (n < 1 || !(delta >= DT32F(0)) || delta > DT32F(1)) return -2;
  if (callerBuffers && (!coefBuf || !stateBuf)) return -1;
  size_t total, bytes;
  if (!callerBuffers) {
    if (!stateSize(n, total) || total > kMaxElems ||
        !allocPair<DT32F>(size_t(n), &coefBuf, total, &stateBuf)) {
      f->coefs = f->delayLine = f->invCorr = f->gain = nullptr;
      return -3;
    }
  } else {
    if (!stateSize(n, total) ||
        __builtin_mul_overflow(total, sizeof(DT32F), &bytes))
      return -2;
    memset(coefBuf, 0, size_t(n) * sizeof(DT32F));
    memset(stateBuf, 0, bytes);
  }
  return rlsSetUp(f, n, lambda, delta, coefBuf, stateBuf);
}

// 2^(max_exponent/2) of the sample type: while P's diagonal, and so every
// element of P, stays below it, P*x and x'Px stay finite for any regressor
// whose squared norm does too.
constexpr DT32F invCorrCap() {
  DT32F c = 1;
  for (int i = 0; i < std::numeric_limits<DT32F>::max_exponent / 2; ++i)
    c *= 2;
  return c;
}

// The 1/lambda of this sample's update of P. Without excitation in some
// direction (silence above all) P grows by 1/lambda per sample until it
// overflows; once the largest diagonal element would pass the cap, P is not
// scaled (forgetting pauses) until the input brings it down again.
Acc forgetting(const quolmRls *f) {
  const DT32F *P = f->invCorr;
  DT32F largest = 0;
  size_t diag = 0;
  for (DT32S r = 0; r < f->length; ++r) {
    largest = P[diag] > largest ? P[diag] : largest;
    diag += size_t(r) + 2;
  }
  const Acc invLambda = f->invLambda;
  return invLambda * Acc(largest) < Acc(invCorrCap()) ? invLambda : 1.0;
}

// One sample: Shift moves xNew into the delay line first (the LC forms use
// the line as the caller left it); Adapt forms the error and updates the
// coefficients. P is updated either way. Returns y.
template <bool Shift, bool Adapt>
DT32F rlsStep(quolmRls *f, DT32F xNew, DT32F d) {
  const DT32S n = f->length;
  DT32F *x = f->delayLine;
  if (Shift) {
    memmove(x + 1, x, size_t(n - 1) * sizeof(DT32F));
    x[0] = xNew;
  }
  const DT32F y = DT32F(dotLinBuf(x, f->coefs, n));
  const Acc e = Acc(d) - Acc(y);
  if (Adapt) f->err = DT32F(e);
  rlstriangle::timesVector(f->invCorr, x, f->gain, n);
  const DT32F s = DT32F(dotLinBuf(x, f->gain, n));
  rlstriangle::update(f->invCorr, f->gain, Adapt ? f->coefs : nullptr, n,
                      Acc(s) + Acc(f->lambda), forgetting(f), e);
  return y;
}

}  // namespace

extern "C" {

QUOLM_API DT32S rls32fInit(quolmRls *filter, DT32S N, DT32F lambda,
                           DT32F delta) {
  return rlsInit(filter, N, lambda, delta, false, nullptr, nullptr);
}

QUOLM_API DT32S rls32fInitStatic(quolmRls *filter, DT32S N, DT32F lambda,
                                 DT32F delta, DT32F *coefBuf,
                                 DT32F *stateBuf) {
  return rlsInit(filter, N, lambda, delta, true, coefBuf, stateBuf);
}

QUOLM_API DT32F rls32fFilterUpdate(quolmRls *filter, DT32F x, DT32F d) {
  return rlsStep<true, true>(filter, x, d);
}

QUOLM_API DT32F rls32fFilterOnly(quolmRls *filter, DT32F x) {
  return rlsStep<true, false>(filter, x, DT32F(0));
}

QUOLM_API DT32F rls32fLCFilterUpdate(quolmRls *filter, DT32F d) {
  return rlsStep<false, true>(filter, DT32F(0), d);
}

QUOLM_API DT32F rls32fLCFilterOnly(quolmRls *filter) {
  return rlsStep<false, false>(filter, DT32F(0), DT32F(0));
}

QUOLM_API void rls32fFree(quolmRls *filter) {
  if (!filter) return;
  freeCoefsAndDelayLine(filter);  // the state block starts at delayLine
  filter->invCorr = filter->gain = nullptr;
  filter->length = 0;
}

QUOLM_API DT32S rls32fReset(quolmRls *filter) { return resetCoefs(filter); }

QUOLM_API DT32S rls32fResetDelayLine(quolmRls *filter) {
  return resetDelayLine(filter);
}

QUOLM_API DT32S rls32fGetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Get>(filter, values, start, count, reverse);
}

QUOLM_API DT32S rls32fSetCoef(quolmRls *filter, DT32F *values, DT32S start,
                              DT32S count, DT32S reverse) {
  return coefCopy<Dir::Set>(filter, values, start, count, reverse);
}

QUOLM_API DT32S rls32fGetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return getMember(filter, &Rec::delayLine, values, start, count, reverse);
}

QUOLM_API DT32S rls32fSetDelayLine(quolmRls *filter, DT32F *values,
                                   DT32S start, DT32S count, DT32S reverse) {
  return setMember(filter, &Rec::delayLine, values, start, count, reverse);
}

// A new filter with P restarted at 0.01*I takes over the leading coefficients
// and the newest samples; on any failure the record stays as it was.
QUOLM_API DT32S rls32fResize(quolmRls *filter, DT32S N) {
  if (!filter) return -1;
  if (N == filter->length) return 0;
  const DT32F lambda = filter->lambda;
  auto carry = [](quolmRls *from, quolmRls *to) -> DT32S {
    const DT32S rc = carryLeading(from, to, &Rec::coefs);
    return rc != 0 ? rc : carryLeading(from, to, &Rec::delayLine);
  };
  return resizeWith(
      filter,
      [&](quolmRls *t) { return rls32fInit(t, N, lambda, kRlsResizeDelta); },
      carry, rls32fFree);
}

}  // extern "C"
