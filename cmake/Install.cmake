# SPDX-License-Identifier: MIT
# What `cmake --install` puts where, in two components: Runtime (the shared
# libraries and the license) and Development (headers, link-time files, CMake
# package, pkg-config files). The Debian packages follow the same split.

# Installing and packing build nothing themselves (the make targets build the
# libraries first); otherwise cpack would build every test program first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

foreach(tag IN LISTS QUOLM_TAGS)
  install(TARGETS quolm${tag} EXPORT quolmTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
            NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
  file(GLOB headers CONFIGURE_DEPENDS "${inc_${tag}}/*.h")
  list(FILTER headers EXCLUDE REGEX "quolmdisplay")  # the demo's own
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quolm
          COMPONENT Development)

  set(QUOLM_TAG ${tag})
  configure_file(cmake/quolm.pc.in quolm${tag}.pc @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/quolm${tag}.pc"
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()

install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Runtime)

include(CMakePackageConfigHelpers)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/quolm)
install(EXPORT quolmTargets NAMESPACE quolm:: DESTINATION ${config_dir}
        COMPONENT Development)
configure_package_config_file(cmake/quolmConfig.cmake.in
  "${PROJECT_BINARY_DIR}/quolmConfig.cmake" INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/quolmConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/quolmConfig.cmake"
              "${PROJECT_BINARY_DIR}/quolmConfigVersion.cmake"
        DESTINATION ${config_dir} COMPONENT Development)

# Debian packages: libquolm1 (Runtime) and libquolm-dev (Development).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quolm)
set(CPACK_PACKAGE_VENDOR "The quolm developers")
set(CPACK_PACKAGE_CONTACT "The quolm developers <quolm@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Adaptive digital filters with a flat C interface")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libquolm${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libc6")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libquolm-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libquolm${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
include(CPack)
