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

#ifdef __cplusplus
#define QUOLM_BEGIN_DECLS extern "C" {
#define QUOLM_END_DECLS }
#else
#define QUOLM_BEGIN_DECLS
#define QUOLM_END_DECLS
#endif

#endif
