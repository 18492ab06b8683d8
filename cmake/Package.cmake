# The library as an installed CMake package, and on Windows the release zip.
# Two components:
#   Development  the public headers, the static libraries, the package config;
#                vantrel.dll with its header, import libraries and .def
#   Runtime      Vantrel.exe, vantrel-list.exe, vantrel-layout.exe, vantrel-keep.exe,
#                vantrel.dll
#                and the README
#   cmake --install build/windows --component Development --prefix P
# gives a library prefix with no program in it, so that a program needs
#   find_package(Vantrel 2.0 CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE Vantrel::vantrel)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(vantrel_layers vantrel_base vantrel_platform vantrel_model vantrel_displays_snapshot
  vantrel_displays_placement vantrel_displays_layouts vantrel_displays vantrel_displays_watcher
  vantrel_displays_desktop)
if(WIN32)
  list(APPEND vantrel_layers vantrel_win32)
endif()
install(TARGETS vantrel ${vantrel_layers} EXPORT VantrelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

set(vantrel_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${vantrel_cmake_dir}
  COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VantrelConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfig.cmake INSTALL_DESTINATION ${vantrel_cmake_dir})
# The library's version: a program that asks for 1.x is refused 2.x, whose
# calls may no longer mean what that program meant by them.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VantrelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfigVersion.cmake
  DESTINATION ${vantrel_cmake_dir} COMPONENT Development)

if(WIN32)
  # The C interface, for programs that do not link the C++ package (MSVC's,
  # and every language that calls C). Runtime: vantrel.dll, for a program to
  # ship beside it. Development: the same DLL in the same bin/ (where a DLL's
  # build puts it, so a program built against the prefix runs from it, and
  # both components in one prefix or the zip hold it once), the header,
  # MinGW's and MSVC's import libraries and vantrel.def.
  install(TARGETS vantrel_capi
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
  install(FILES $<TARGET_FILE:vantrel_capi> DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  install(FILES ${PROJECT_BINARY_DIR}/vantrel.lib ${PROJECT_SOURCE_DIR}/src/capi/vantrel.def
    DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)

  install(TARGETS Vantrel vantrel-list vantrel-layout vantrel-keep RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . COMPONENT Runtime)

  # cmake --build build/windows --target package: Vantrel-2.1.0-win64.zip at
  # the library's version 2.1.0 (Vantrel.exe inside keeps its own, 1.00),
  # both components in one archive.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Vantrel)
  set(CPACK_PACKAGE_VENDOR Vantrel)
  set(CPACK_PACKAGE_VERSION ${VANTREL_VERSION_TEXT})
  set(CPACK_PACKAGE_FILE_NAME Vantrel-${VANTREL_VERSION_TEXT}-win64)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reports the monitors attached to the desktop")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  include(CPack)
endif()
