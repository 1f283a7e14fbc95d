# SPDX-License-Identifier: MIT
# quolm_feature(VAR DOC FOUND WHY): an option that defaults to ON only in the
# top-level project and only when its dependencies were found (FOUND is the
# name of a variable). When it defaults to OFF for want of them, one status
# line says so; asking for it explicitly without them stops the configure.
function(quolm_feature var doc found why)
  if(DEFINED CACHE{${var}} OR DEFINED ${var})
    if(${var} AND NOT ${found})
      message(FATAL_ERROR "${var} is ON, but ${why}")
    endif()
    return()
  endif()
  set(default OFF)
  if(PROJECT_IS_TOP_LEVEL AND ${found})
    set(default ON)
  elseif(PROJECT_IS_TOP_LEVEL)
    message(STATUS "quolm: ${doc} skipped: ${why}")
  endif()
  option(${var} "${doc}" ${default})
endfunction()
