// Interposed allocator of the test programs. Forwards to the C library, or to
// the sanitizer's allocator in sanitizer builds, and counts while armed.
#include "allochook.h"

#include <stddef.h>
#include <stdint.h>

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void __libc_free(void *);
void *__interceptor_malloc(size_t) __attribute__((weak));
void *__interceptor_calloc(size_t, size_t) __attribute__((weak));
void *__interceptor_realloc(void *, size_t) __attribute__((weak));
void __interceptor_free(void *) __attribute__((weak));
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
  void *p = __interceptor_malloc ? __interceptor_malloc(n) : __libc_malloc(n);
  track(p);
  return p;
}

void *calloc(size_t n, size_t size) {
  if (failNow()) return nullptr;
  void *p = __interceptor_calloc ? __interceptor_calloc(n, size)
                                 : __libc_calloc(n, size);
  track(p);
  return p;
}

void *realloc(void *old, size_t n) {
  if (failNow()) return nullptr;
  untrack(old);
  void *p = __interceptor_realloc ? __interceptor_realloc(old, n)
                                  : __libc_realloc(old, n);
  track(p);
  return p;
}

void free(void *p) {
  untrack(p);
  if (__interceptor_free) __interceptor_free(p); else __libc_free(p);
}

}  // extern "C"
