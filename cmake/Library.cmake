# SPDX-License-Identifier: MIT
# The libraries, one per precision tag. Each may come in two variants from the
# same sources: the plain one (target quolm<tag>, installed) and, when
# QUOLM_SANITIZE is on, a copy built with AddressSanitizer and UBSan (target
# quolm<tag>_san) that only the test programs link.

set(QUOLM_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

# Adds the sanitizer flags to TARGET's compile and link lines, at the
# optimisation level LEVEL outside Debug, with line tables only (-g1), which
# is all the sanitizers' reports use. Instrumented code compiles slowly, the
# test programs' gtest macros most of all (about five times as long at -O1 as
# at -O0), so the libraries take -O1 and the test programs -O0.
function(quolm_sanitize target level)
  target_compile_options(${target} PRIVATE ${QUOLM_SANITIZER_FLAGS}
                         $<$<NOT:$<CONFIG:Debug>>:${level} -g1>)
  target_link_options(${target} PRIVATE ${QUOLM_SANITIZER_FLAGS})
endfunction()

# quolm_library(TAG VARIANT): VARIANT is empty for the plain library, _san for
# the sanitizer copy.
function(quolm_library tag variant)
  set(name quolm${tag}${variant})
  file(GLOB sources CONFIGURE_DEPENDS "${src_${tag}}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "quolmdisplay")  # the demo's own
  add_library(${name} ${sources})
  set_target_properties(${name} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # Optimisation comes from the build type (Release: -O3), never from here.
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti -Wall -Wextra)
  target_link_options(${name} PRIVATE -Wl,--as-needed -Wl,--no-undefined)
  # The header-only FFT table builder calls cos/sin in the caller's code.
  target_link_libraries(${name} INTERFACE m)
  target_include_directories(${name}
    PUBLIC $<BUILD_INTERFACE:${inc_${tag}}>
           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quolm>
    PRIVATE ${src_${tag}})
  if(variant STREQUAL "_san")
    quolm_sanitize(${name} -O1)
  else()
    add_library(quolm::quolm${tag} ALIAS ${name})
  endif()
endfunction()
