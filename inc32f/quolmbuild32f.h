/* SPDX-License-Identifier: MIT */
/** @file
    quolm: marks the translation unit as a user of the DT32F build; every
   header of the build includes it in place of quolmdefs.h. */
#ifndef QUOLMBUILD32F_H
#define QUOLMBUILD32F_H

/** Names the sample type of this header set; the double set defines
    QUOLM_BUILD_DT64F instead. */
#define QUOLM_BUILD_DT32F 1

#include "quolmdefs.h"

#endif
