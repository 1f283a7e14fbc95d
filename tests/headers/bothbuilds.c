/* SPDX-License-Identifier: MIT */
/* Must not compile: C sees one build per translation unit, and the headers
   say so (the test expects their message, not a redefinition per record). */
#include "quolmnlms32f.h"
#include "quolm64f.h"

int main(void) { return 0; }
