# SPDX-License-Identifier: MIT
# Checks of the project as a user meets it, beside the unit tests. Each one is
# a script under .ci/ run by CTest with a label: "package" for installing and
# packaging, "lint" for the repository's own rules.
find_program(QUOLM_DPKG_DEB dpkg-deb)
find_program(QUOLM_PKG_CONFIG pkg-config)

if(QUOLM_PKG_CONFIG)
  add_test(NAME install COMMAND sh "${PROJECT_SOURCE_DIR}/.ci/check-install.sh"
           "${PROJECT_BINARY_DIR}")
  set_tests_properties(install PROPERTIES LABELS package)
  if(QUOLM_DPKG_DEB AND BUILD_SHARED_LIBS)
    add_test(NAME deb COMMAND sh "${PROJECT_SOURCE_DIR}/.ci/check-deb.sh"
             "${PROJECT_BINARY_DIR}")
    set_tests_properties(deb PROPERTIES LABELS package)
  endif()
endif()

add_test(NAME spdx COMMAND sh "${PROJECT_SOURCE_DIR}/cmake/spdx.sh")
set_tests_properties(spdx PROPERTIES LABELS lint)
if(TARGET docs)
  add_test(NAME docs COMMAND "${CMAKE_COMMAND}" --build "${PROJECT_BINARY_DIR}"
           --target docs)
  set_tests_properties(docs PROPERTIES LABELS lint)
endif()
