// SPDX-License-Identifier: MIT
// Interposed allocator of the test programs: forwards to the C library and
// counts while armed. Sanitizer builds keep their own allocator, so there the
// hook is absent and the tests that need it are skipped.
#include "allochook.h"

#include <stddef.h>

#ifdef __SANITIZE_ADDRESS__

namespace allochook {
bool available() { return false; }
void arm(int) {}
Counts disarm() { return Counts{0, 0}; }
int live() { return 0; }
}  // namespace allochook

#else

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void __libc_free(void *);
}

namespace {

bool armed = false;
int calls = 0;
int failAt = 0;
constexpr int kSlots = 1024;
void *tracked[kSlots];  // blocks handed out while armed

bool failNow() {
  if (!armed) return false;
  ++calls;
  return calls == failAt;
}

void track(void *p) {
  if (!armed || !p) return;
  for (void *&slot : tracked)
    if (!slot) { slot = p; return; }
}

void untrack(void *p) {
  if (!p) return;
  for (void *&slot : tracked)
    if (slot == p) { slot = nullptr; return; }
}

}  // namespace

namespace allochook {

bool available() { return true; }

void arm(int k) {
  calls = 0;
  failAt = k;
  armed = true;
}

Counts disarm() {
  armed = false;
  return Counts{calls, live()};
}

int live() {
  int n = 0;
  for (void *slot : tracked) n += slot != nullptr;
  return n;
}

}  // namespace allochook

extern "C" {

void *malloc(size_t n) {
  if (failNow()) return nullptr;
  void *p = __libc_malloc(n);
  track(p);
  return p;
}

void *calloc(size_t n, size_t size) {
  if (failNow()) return nullptr;
  void *p = __libc_calloc(n, size);
  track(p);
  return p;
}

void *realloc(void *old, size_t n) {
  if (failNow()) return nullptr;
  untrack(old);
  void *p = __libc_realloc(old, n);
  track(p);
  return p;
}

void free(void *p) {
  untrack(p);
  __libc_free(p);
}

}  // extern "C"

#endif
