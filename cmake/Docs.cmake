# SPDX-License-Identifier: MIT
# `docs` target: the HTML reference of the public headers, written in the
# single-precision spelling (the double set reads the same with 64f). Any
# undocumented function, record, field or parameter fails the build.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  return()
endif()
set(DOXYGEN_PROJECT_NAME quolm)
set(DOXYGEN_PROJECT_BRIEF "Adaptive digital filters with a flat C interface")
set(DOXYGEN_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/docs")
set(DOXYGEN_GENERATE_HTML YES)
set(DOXYGEN_GENERATE_LATEX NO)
set(DOXYGEN_OPTIMIZE_OUTPUT_FOR_C YES)
set(DOXYGEN_TYPEDEF_HIDES_STRUCT YES)
set(DOXYGEN_EXTRACT_ALL NO)
set(DOXYGEN_EXTRACT_STATIC YES)  # the header-only FFT table builder
set(DOXYGEN_EXCLUDE_SYMBOLS QUOLM_SWAP_PAIR32F)  # local to one function
set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
set(DOXYGEN_WARN_IF_DOC_ERROR YES)
set(DOXYGEN_WARN_NO_PARAMDOC YES)
set(DOXYGEN_WARN_AS_ERROR FAIL_ON_WARNINGS)
set(DOXYGEN_QUIET YES)
set(DOXYGEN_ENABLE_PREPROCESSING YES)
set(DOXYGEN_MACRO_EXPANSION YES)
set(DOXYGEN_EXPAND_ONLY_PREDEF YES)
set(DOXYGEN_PREDEFINED "QUOLM_API=" "QUOLM_BEGIN_DECLS(tag)=" "QUOLM_END_DECLS="
    "QUOLM_BUILD_DT64F=1")
file(GLOB doc_headers "${PROJECT_SOURCE_DIR}/inc32f/*.h")
list(FILTER doc_headers EXCLUDE REGEX "quolmdisplay")  # the demo's own
doxygen_add_docs(docs ${doc_headers}
  COMMENT "Rendering the API reference into ${PROJECT_BINARY_DIR}/docs/html")
