/* SPDX-License-Identifier: MIT */
/** @file
    quolm: basic types shared by the library builds and their callers, the
    version, and the declaration macros of the public headers. */
#ifndef QUOLMDEFS_H
#define QUOLMDEFS_H

#include <stdint.h>

/* Version of the library, the one place it is written: the build reads it
   from here for the package, the SONAME and the pkg-config files. */
/** Major version: changes with anything that breaks existing callers, such
    as a changed record field (and then the SONAME changes too). */
#define QUOLM_VERSION_MAJOR 1
/** Minor version: changes with additions that keep existing callers working. */
#define QUOLM_VERSION_MINOR 0
/** Patch version: changes with fixes only. */
#define QUOLM_VERSION_PATCH 0
/** The three numbers in one comparable value, e.g. 10000 for 1.0.0. */
#define QUOLM_VERSION \
  (QUOLM_VERSION_MAJOR * 10000 + QUOLM_VERSION_MINOR * 100 + QUOLM_VERSION_PATCH)

typedef uint8_t  DT8U;  /**< unsigned 8-bit integer */
typedef uint16_t DT16U; /**< unsigned 16-bit integer */
typedef uint32_t DT32U; /**< unsigned 32-bit integer */
typedef int8_t   DT8S;  /**< signed 8-bit integer */
typedef int16_t  DT16S; /**< signed 16-bit integer */
typedef int32_t  DT32S; /**< every length, count, index, flag and return code */
typedef float    DT32F; /**< sample type of libquolm32f */
typedef int64_t  DT64S; /**< signed 64-bit integer */
typedef uint64_t DT64U; /**< unsigned 64-bit integer */
typedef double   DT64F; /**< sample type of libquolm64f */

/* Complex values, each part of the matching real type; no library function
   takes them. */
/** Complex 8-bit integer value. */
typedef struct {
  DT8S re; /**< real part */
  DT8S im; /**< imaginary part */
} DT8SC;
/** Complex 16-bit integer value. */
typedef struct {
  DT16S re; /**< real part */
  DT16S im; /**< imaginary part */
} DT16SC;
/** Complex 32-bit integer value. */
typedef struct {
  DT32S re; /**< real part */
  DT32S im; /**< imaginary part */
} DT32SC;
/** Complex 64-bit integer value. */
typedef struct {
  DT64S re; /**< real part */
  DT64S im; /**< imaginary part */
} DT64SC;
/** Complex single-precision value. */
typedef struct {
  DT32F re; /**< real part */
  DT32F im; /**< imaginary part */
} DT32FC;
/** Complex double-precision value. */
typedef struct {
  DT64F re; /**< real part */
  DT64F im; /**< imaginary part */
} DT64FC;

/** Tags naming the basic types, in this order; no library function takes
    them. */
typedef enum {
  dt8u = 0, dt16u = 1, dt32u = 2, dt8s = 3, dt16s = 4, dt32s = 5, dt32f = 6,
  dt64s = 7, dt64u = 8, dt64f = 9, dt8sc = 10, dt16sc = 11, dt32sc = 12,
  dt64sc = 13, dt32fc = 14, dt64fc = 15
} dataType;

/** Marks the functions a library build exports. */
#if defined(__GNUC__)
#define QUOLM_API __attribute__((visibility("default")))
#else
#define QUOLM_API
#endif

/** Open and close the declarations of the build with tag 32f or 64f. In C++
   they sit in the inline namespace quolm_c32f or quolm_c64f: callers still
   write quolmNlms, while each build's records are distinct types, so one
   program (even one translation unit) may use both builds. Function symbols
   keep C linkage and are the same under either namespace. */
#ifdef __cplusplus
#define QUOLM_BEGIN_DECLS(tag) inline namespace quolm_c##tag { extern "C" {
#define QUOLM_END_DECLS } }
#else
#define QUOLM_BEGIN_DECLS(tag)
/** Closes what QUOLM_BEGIN_DECLS opened. */
#define QUOLM_END_DECLS
#endif

#endif

/* Both builds name their records alike, so a C translation unit can use only
   one of them; each build's headers define QUOLM_BUILD_DT32F or
   QUOLM_BUILD_DT64F before including this file (checked at every inclusion).
   The missing include stops the compiler right after the message, before the
   second build's records would add a redefinition error for each record. */
#if !defined(__cplusplus) && defined(QUOLM_BUILD_DT32F) && \
    defined(QUOLM_BUILD_DT64F)
#error "quolm: a C translation unit can use one build only, but it includes headers of both quolm32f and quolm64f: compile each build's code in its own .c file (records never cross between them), or use C++"
#include "quolm: stop after the error above"
#endif
