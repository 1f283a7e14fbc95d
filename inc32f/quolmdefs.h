/* quolm: basic types shared by the library builds and their callers. */
#ifndef QUOLMDEFS_H
#define QUOLMDEFS_H

#include <stdint.h>

/* Version of the library, the one place it is written: the build reads it
   from here for the package, the SONAME and the pkg-config files. */
#define QUOLM_VERSION_MAJOR 1
#define QUOLM_VERSION_MINOR 0
#define QUOLM_VERSION_PATCH 0
/* The three numbers in one comparable value, e.g. 10000 for 1.0.0. */
#define QUOLM_VERSION \
  (QUOLM_VERSION_MAJOR * 10000 + QUOLM_VERSION_MINOR * 100 + QUOLM_VERSION_PATCH)

typedef uint8_t  DT8U;
typedef uint16_t DT16U;
typedef uint32_t DT32U;
typedef int8_t   DT8S;
typedef int16_t  DT16S;
typedef int32_t  DT32S;   /* every length, count, index, flag and return code */
typedef float    DT32F;   /* sample type of libquolm32f */
typedef int64_t  DT64S;
typedef uint64_t DT64U;
typedef double   DT64F;   /* sample type of libquolm64f */

typedef struct { DT8S re; DT8S im; } DT8SC;
typedef struct { DT16S re; DT16S im; } DT16SC;
typedef struct { DT32S re; DT32S im; } DT32SC;
typedef struct { DT64S re; DT64S im; } DT64SC;
typedef struct { DT32F re; DT32F im; } DT32FC;
typedef struct { DT64F re; DT64F im; } DT64FC;

typedef enum {
  dt8u = 0, dt16u = 1, dt32u = 2, dt8s = 3, dt16s = 4, dt32s = 5, dt32f = 6,
  dt64s = 7, dt64u = 8, dt64f = 9, dt8sc = 10, dt16sc = 11, dt32sc = 12,
  dt64sc = 13, dt32fc = 14, dt64fc = 15
} dataType;

/* Marks the functions a library build exports. */
#if defined(__GNUC__)
#define QUOLM_API __attribute__((visibility("default")))
#else
#define QUOLM_API
#endif

/* Open and close the declarations of the build with tag 32f or 64f. In C++
   they sit in the inline namespace quolm_c32f or quolm_c64f: callers still
   write quolmNlms, while each build's records are distinct types, so one
   program (even one translation unit) may use both builds. Function symbols
   keep C linkage and are the same under either namespace. */
#ifdef __cplusplus
#define QUOLM_BEGIN_DECLS(tag) inline namespace quolm_c##tag { extern "C" {
#define QUOLM_END_DECLS } }
#else
#define QUOLM_BEGIN_DECLS(tag)
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
