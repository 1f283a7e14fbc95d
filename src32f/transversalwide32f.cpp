// SPDX-License-Identifier: MIT
// The wide forms of the transversal kernels: the dot product over a ring, the
// coefficient update after it, and one adaptation step that runs both, also
// built for AVX2 and AVX-512 (QUOLM_WIDER_CLONES). Each lane runs the scalar
// loop's arithmetic on its own element, and the dot product keeps its one
// accumulator in index order, so all give the values of dotCircBuf and
// addScaled bit for bit.
#include "lmsstep32f.h"
#include "widelanes32f.h"

namespace quolm32f {

namespace {

using namespace widelanes;

// Groups of 32 bytes of samples. In the single build that is eight, one
// AVX-512 register of Acc: the conversions bound the update, and they ran at
// about one instruction per cycle whatever the width (four or eight lanes),
// so the widest group takes the fewest. The double build converts nothing,
// and four lanes kept its filters as fast as before (eight were slower).
constexpr DT32S kGroup = 32 / sizeof(DT32F);
typedef SampleV<kGroup> Samples;
typedef AccV<kGroup> Accs;
typedef SampleLanes<kGroup> GroupLanes;

template <size_t... J>
constexpr GroupLanes laneNumbers(std::index_sequence<J...>) {
  return GroupLanes{SampleLane(J)...};
}
constexpr GroupLanes kLaneNumbers =
    laneNumbers(std::make_index_sequence<kGroup>{});

WIDE_INLINE Samples loadGroup(const DT32F *p) {
  return loadSamples<kGroup>(p);
}

// The regressor of coefficient k is ring slot p + k below m = L - p, slot
// k - m from there on.
WIDE_INLINE DT32S slotOf(DT32S k, DT32S p, DT32S m) {
  return k < m ? p + k : k - m;
}

// The regressors of group k: one load, or across the wrap the last r = m - k
// slots and the first kGroup - r, from a load at each end of the ring (which
// holds a whole group) joined by one permute. Clang has no permute of two
// vectors by lane numbers known only at run time: it reads lane by lane.
WIDE_INLINE Samples regressors(const DT32F *ring, DT32S p, DT32S m, DT32S k) {
  if (k >= m || m - k >= kGroup) return loadGroup(ring + slotOf(k, p, m));
#ifdef __clang__
  Samples v;
  for (DT32S j = 0; j < kGroup; ++j) v[j] = ring[slotOf(k + j, p, m)];
  return v;
#else
  const GroupLanes take = kLaneNumbers + SampleLane(kGroup - (m - k));
  return __builtin_shuffle(loadGroup(ring + p + m - kGroup), loadGroup(ring),
                           take);
#endif
}

// Calls f(k, u) for the whole groups k = from, from + kGroup, ... below n, u
// the regressors of group k; returns where the tail starts.
template <class F>
WIDE_INLINE DT32S forGroups(const DT32F *ring, DT32S p, DT32S m, DT32S from,
                            DT32S n, F f) {
  const DT32S end = n - n % kGroup;
  const DT32S runEnd = m < end ? m : end;
  DT32S k = from;
  for (; runEnd - k >= kGroup; k += kGroup) f(k, loadGroup(ring + p + k));
  if (k < runEnd) {
    f(k, regressors(ring, p, m, k));
    k += kGroup;
  }
  for (; k < end; k += kGroup) f(k, loadGroup(ring + k - m));
  return k;
}

WIDE_INLINE Acc addLanes(Acc acc, const Accs &v) {
  for (DT32S j = 0; j < kGroup; ++j) acc += v[j];
  return acc;
}

// The widened regressors and coefficients of the first groups, kept by the
// dot product of an adaptation step for the update after it (adaptClones):
// up to 1024 taps, 16 KiB of stack in the single build. Keeping 512 left
// N = 1024 at 1.19 times the bare sum instead of 1.15; keeping 4096 would
// take 64 KiB and, with the two vectors, no longer fit the L1 cache.
constexpr DT32S kStagedGroups = 1024 / kGroup;
// Only a widening that converts is worth keeping (none in the double build).
constexpr bool kWidenConverts = sizeof(DT32F) < sizeof(Acc);
struct Staged {
  Accs u[kStagedGroups], w[kStagedGroups];
};

// Stores x at slot p and returns dotCircBuf from there; keeps the widened
// operands of the first groups in *staged when it is given. The
// coefficients go in groups from k = 0 whatever p is, as in the
// update, so every load of a group the last update stored is served from
// that store. The first group reads the ring before x goes in: a load over
// the slot just stored would wait for the store to complete.
WIDE_INLINE Acc dotInsert(DT32F x, DT32F *ring, DT32S ringLength, DT32S p,
                          const DT32F *coefs, DT32S n,
                          Staged *staged = nullptr) {
  const DT32S m = ringLength - p;
  if (n < kGroup) {
    ring[p] = x;
    Acc acc = 0.0;
    for (DT32S k = 0; k < n; ++k)
      acc += Acc(ring[slotOf(k, p, m)]) * Acc(coefs[k]);
    return acc;
  }
  Acc acc = 0.0;
  auto group = [&](DT32S k, const Samples &v) {
    const Accs u = widen<kGroup>(v), c = widen<kGroup>(loadGroup(coefs + k));
    if (staged && k < kStagedGroups * kGroup) {
      staged->u[k / kGroup] = u;
      staged->w[k / kGroup] = c;
    }
    acc = addLanes(acc, u * c);
  };
  Samples first = regressors(ring, p, m, 0);
  first[0] = x;
  ring[p] = x;
  group(0, first);
  const DT32S tail = forGroups(ring, p, m, kGroup, n, group);
  for (DT32S k = tail; k < n; ++k)
    acc += Acc(ring[slotOf(k, p, m)]) * Acc(coefs[k]);
  return acc;
}

// g * u, or +-g by the sign of u, lane by lane.
template <Regressor R>
WIDE_INLINE Accs stepOf(const Accs &u, const Accs &gs) {
  if constexpr (R == Regressor::Sign)
    return u >= 0 ? gs : -gs;
  else
    return gs * u;
}

// The update from group `from` on, reading and widening both operands.
template <Regressor R>
WIDE_INLINE void addScaledCircGroups(DT32F *w, const DT32F *ring,
                                     DT32S ringLength, DT32S p, DT32F g,
                                     DT32S n, DT32S from = 0) {
  const DT32S m = ringLength - p;
  const Accs gs = splat<kGroup>(g);
  const DT32S tail =
      forGroups(ring, p, m, from, n, [&](DT32S k, const Samples &v) {
        const Accs wk = widen<kGroup>(loadGroup(w + k));
        storeNarrow<kGroup>(w + k, wk + stepOf<R>(widen<kGroup>(v), gs));
      });
  for (DT32S k = tail; k < n; ++k)
    addScaled<R>(w + k, ring + slotOf(k, p, m), g, 1);
}

QUOLM_WIDER_CLONES Acc dotInsertClones(DT32F x, DT32F *ring, DT32S ringLength,
                                      DT32S p, const DT32F *coefs, DT32S n) {
  return dotInsert(x, ring, ringLength, p, coefs, n);
}

QUOLM_WIDER_CLONES void addScaledCircClones(DT32F *w, const DT32F *ring,
                                           DT32S ringLength, DT32S p, DT32F g,
                                           DT32S n) {
  addScaledCircGroups<Regressor::Value>(w, ring, ringLength, p, g, n);
}

QUOLM_WIDER_CLONES void addSignScaledCircClones(DT32F *w, const DT32F *ring,
                                               DT32S ringLength, DT32S p,
                                               DT32F g, DT32S n) {
  addScaledCircGroups<Regressor::Sign>(w, ring, ringLength, p, g, n);
}

// The step's critical path is the chain of the dot product, then g, then
// the update, whose first stores the next step's first products wait for.
// Nothing of the update can start before g, and the next step's sum starts
// only once the update has passed: the update's length after g is what the
// step costs beyond the sum. Conversions bound it (about one per cycle), so
// the dot product keeps its widened operands of the first groups and after
// g only a product, a sum and one narrowing per group remain; widening both
// operands again after g cost about 15 ns at N = 256 (Zen 5). What is left
// at N = 256: the step's own latency (with the NLMS division) and the kept
// groups' narrowings, about 1.15 times the bare sum; beyond the kept groups
// three conversions per group, about 1.2 times at N = 4096.
template <Regressor R, class Rule>
QUOLM_WIDER_CLONES Acc adaptClones(DT32F x, DT32F *ring, DT32S ringLength,
                                  DT32S p, DT32F *coefs, DT32S n, Rule rule) {
  Staged staged;
  const Acc y = dotInsert(x, ring, ringLength, p, coefs, n,
                          kWidenConverts ? &staged : nullptr);
  const DT32F g = rule(y);
  const Accs gs = splat<kGroup>(g);
  const DT32S whole = kWidenConverts ? n / kGroup : 0;
  const DT32S groups = whole < kStagedGroups ? whole : kStagedGroups;
  for (DT32S i = 0; i < groups; ++i)
    storeNarrow<kGroup>(coefs + i * kGroup,
                        staged.w[i] + stepOf<R>(staged.u[i], gs));
  addScaledCircGroups<R>(coefs, ring, ringLength, p, g, n, groups * kGroup);
  return y;
}

}  // namespace

Acc dotInsertWide(DT32F x, DT32F *ring, DT32S ringLength, DT32S p,
                  const DT32F *coefs, DT32S n) {
  return dotInsertClones(x, ring, ringLength, p, coefs, n);
}

void addScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength, DT32S p,
                       DT32F g, DT32S n) {
  addScaledCircClones(w, ring, ringLength, p, g, n);
}

void addSignScaledCircWide(DT32F *w, const DT32F *ring, DT32S ringLength,
                           DT32S p, DT32F g, DT32S n) {
  addSignScaledCircClones(w, ring, ringLength, p, g, n);
}

template <Regressor R, class Rule>
Acc adaptWide(DT32F x, DT32F *ring, DT32S ringLength, DT32S p, DT32F *coefs,
              DT32S n, Rule rule) {
  return adaptClones<R>(x, ring, ringLength, p, coefs, n, rule);
}

template Acc adaptWide<Regressor::Value>(DT32F, DT32F *, DT32S, DT32S, DT32F *,
                                         DT32S, LmsRule<ErrorLaw::Value>);
template Acc adaptWide<Regressor::Value>(DT32F, DT32F *, DT32S, DT32S, DT32F *,
                                         DT32S, LmsRule<ErrorLaw::Sign>);
template Acc adaptWide<Regressor::Sign>(DT32F, DT32F *, DT32S, DT32S, DT32F *,
                                        DT32S, LmsRule<ErrorLaw::Value>);
template Acc adaptWide<Regressor::Sign>(DT32F, DT32F *, DT32S, DT32S, DT32F *,
                                        DT32S, LmsRule<ErrorLaw::Sign>);
template Acc adaptWide<Regressor::Value>(DT32F, DT32F *, DT32S, DT32S, DT32F *,
                                         DT32S, NlmsRule);

}  // namespace quolm32f
