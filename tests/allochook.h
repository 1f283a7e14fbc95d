/* SPDX-License-Identifier: MIT */
// Test-only allocation hook: the test program interposes malloc, calloc,
// realloc and free, so it sees every allocation the library makes.
#ifndef QUOLM_TESTS_ALLOCHOOK_H
#define QUOLM_TESTS_ALLOCHOOK_H

namespace allochook {

struct Counts {
  int calls;  // allocation calls while armed
  int live;   // blocks allocated while armed and not yet released
};

// False in sanitizer builds, which keep their own allocator.
bool available();
// Starts counting; with failAt = k >= 1 the k-th allocation returns null.
void arm(int failAt = 0);
// Stops counting and returns what was seen since arm().
Counts disarm();
// Blocks allocated while armed and not yet released (also after disarm()).
int live();

}  // namespace allochook

#endif
