# SPDX-License-Identifier: MIT
# The golden digest of both builds (tests/golden/digest32f.cpp against
# tests/golden/digests.txt) and the check that neither library holds a fused
# multiply-add. QUOLM_DIGEST builds only these (with the tests off), for the
# cheap configurations that make test and make test-cross compare.
option(QUOLM_DIGEST "Build the golden digest programs and their tests" OFF)
if(NOT (QUOLM_BUILD_TESTS OR QUOLM_DIGEST))
  return()
endif()
enable_testing()

set(QUOLM_DIGEST_FILE "${PROJECT_SOURCE_DIR}/tests/golden/digests.txt")
foreach(tag IN LISTS QUOLM_TAGS)
  set(dir "${PROJECT_SOURCE_DIR}/tests/golden")
  if(NOT tag STREQUAL "32f")
    set(dir "${PROJECT_BINARY_DIR}/gen64f/tests/golden")
    quolm_generate_64f("${PROJECT_SOURCE_DIR}/tests/golden" "${dir}" unused)
  endif()
  add_executable(quolm_digest${tag} "${dir}/digest${tag}.cpp")
  target_link_libraries(quolm_digest${tag} PRIVATE quolm${tag})
  add_test(NAME digest${tag} COMMAND quolm_digest${tag} "${QUOLM_DIGEST_FILE}")
  set_tests_properties(digest${tag} PROPERTIES LABELS plain)
endforeach()

add_test(NAME nofma COMMAND sh "${PROJECT_SOURCE_DIR}/tests/golden/check-nofma.sh"
         $<TARGET_FILE:quolm32f> $<TARGET_FILE:quolm64f>)
set_tests_properties(nofma PROPERTIES LABELS lint)
if(CMAKE_OBJDUMP)
  set_tests_properties(nofma PROPERTIES ENVIRONMENT "OBJDUMP=${CMAKE_OBJDUMP}")
endif()
