# SPDX-License-Identifier: MIT
# The double-precision tree is the single-precision one with the precision tag
# replaced in either case: "32f" -> "64f" in file names and contents, and
# "32F" -> "64F" in contents (DT32F, the include guards, QUOLM_BUILD_DT32F).
# It is written into the build folder at configure time and never kept in git.

# The substitution must not change text silently. In a tagged file a numeric
# literal that holds the tag in either case (0.32f, 1e32F, 0x132f) would become
# another number in the double build; a name of the double build passes
# through unchanged, so only these deliberate ones may appear:
#   addIp64f           exported by the double build only (quolmvector32f.h)
#   QUOLM_BUILD_DT64F  the switch that declares and exports it
#   DT64F              a double in both builds (the display utilities print
#                      through it)
set(QUOLM_TAG_EXCEPTIONS addIp64f QUOLM_BUILD_DT64F DT64F)

# Stops the configure when the text of the tagged file FILE breaks the rules
# above.
function(quolm_check_tagged FILE TEXT)
  set(num "[^A-Za-z0-9_.][.]?[0-9]([A-Za-z0-9_.]|[eEpP][+-])*32[fF]")
  string(REGEX MATCHALL "${num}" literals " ${TEXT}")
  foreach(lit IN LISTS literals)
    string(REGEX REPLACE "^[^.0-9]" "" lit "${lit}")
    message(FATAL_ERROR "${FILE}: the numeric literal '${lit}' holds the "
      "precision tag, which the double build would rewrite to 64, changing "
      "the number. Write it without the tag (0.320f, 3.2e-1f).")
  endforeach()
  string(REGEX MATCHALL "[A-Za-z0-9_]*64[fF][A-Za-z0-9_]*" names "${TEXT}")
  foreach(name IN LISTS names)
    if(NOT name IN_LIST QUOLM_TAG_EXCEPTIONS)
      message(FATAL_ERROR "${FILE}: '${name}' names the double build in a "
        "tagged file and is not substituted; write it with 32, or add it to "
        "QUOLM_TAG_EXCEPTIONS in cmake/Precision.cmake if it is deliberate.")
    endif()
  endforeach()
endfunction()

# Copies every file of SRC_DIR matching the globs into DST_DIR. A file whose
# name carries the tag is written in the double spelling; the others are
# precision-neutral (quolmdefs.h, the test allocation hook) and copied as they
# are. OUT_VAR receives the generated paths. Files are only rewritten when
# their text changes, so unchanged sources are not rebuilt.
function(quolm_generate_64f SRC_DIR DST_DIR OUT_VAR)
  file(GLOB inputs CONFIGURE_DEPENDS
       "${SRC_DIR}/*.h" "${SRC_DIR}/*.c" "${SRC_DIR}/*.cpp" "${SRC_DIR}/*32f.txt")
  set(outputs "")
  foreach(in IN LISTS inputs)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${in}")
    get_filename_component(name "${in}" NAME)
    file(READ "${in}" text)
    if(name MATCHES "32f")
      quolm_check_tagged("${in}" "${text}")
      string(REPLACE "32f" "64f" name "${name}")
      string(REPLACE "32f" "64f" text "${text}")
      string(REPLACE "32F" "64F" text "${text}")
    endif()
    set(out "${DST_DIR}/${name}")
    set(old "")
    if(EXISTS "${out}")
      file(READ "${out}" old)
    endif()
    if(NOT old STREQUAL text)
      file(WRITE "${out}" "${text}")
    endif()
    list(APPEND outputs "${out}")
  endforeach()
  set(${OUT_VAR} "${outputs}" PARENT_SCOPE)
endfunction()

# The source set of one precision: TAG is 32f or 64f, the directories are the
# original ones for 32f and the generated ones for 64f.
function(quolm_tree TAG OUT_INC OUT_SRC OUT_TESTS OUT_BENCH)
  if(TAG STREQUAL "32f")
    set(${OUT_INC} "${PROJECT_SOURCE_DIR}/inc32f" PARENT_SCOPE)
    set(${OUT_SRC} "${PROJECT_SOURCE_DIR}/src32f" PARENT_SCOPE)
    set(${OUT_TESTS} "${PROJECT_SOURCE_DIR}/tests" PARENT_SCOPE)
    set(${OUT_BENCH} "${PROJECT_SOURCE_DIR}/bench" PARENT_SCOPE)
  else()
    set(gen "${PROJECT_BINARY_DIR}/gen64f")
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/inc32f" "${gen}/inc64f" unused)
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/src32f" "${gen}/src64f" unused)
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/tests" "${gen}/tests" unused)
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/tests/exports" "${gen}/tests/exports" unused)
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/bench" "${gen}/bench" unused)
    set(${OUT_INC} "${gen}/inc64f" PARENT_SCOPE)
    set(${OUT_SRC} "${gen}/src64f" PARENT_SCOPE)
    set(${OUT_TESTS} "${gen}/tests" PARENT_SCOPE)
    set(${OUT_BENCH} "${gen}/bench" PARENT_SCOPE)
  endif()
endfunction()
