# What `cmake --install` puts in place: the library (Runtime), and its headers, import library,
# CMake package and pkg-config file (Development), and a release build's debug information (Debug).
# The same rules serve every platform.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VEXA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VEXA)

install(TARGETS VEXA EXPORT VEXATargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

# The library's debug information, which the stripped image of a release build names: installed
# beside the image, a debugger finds it.
get_target_property(vexa_library_type VEXA TYPE)
if(VEXA_RELEASE_IMAGES AND vexa_library_type STREQUAL "SHARED_LIBRARY")
  install(FILES $<TARGET_FILE:VEXA>.debug
      DESTINATION $<IF:$<PLATFORM_ID:Windows>,${CMAKE_INSTALL_BINDIR},${CMAKE_INSTALL_LIBDIR}>
      COMPONENT Debug EXCLUDE_FROM_ALL)
endif()

install(EXPORT VEXATargets NAMESPACE VEXA:: DESTINATION ${VEXA_INSTALL_CMAKEDIR}
    COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VEXAConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VEXAConfig.cmake INSTALL_DESTINATION ${VEXA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VEXAConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VEXAConfig.cmake ${PROJECT_BINARY_DIR}/VEXAConfigVersion.cmake
    DESTINATION ${VEXA_INSTALL_CMAKEDIR} COMPONENT Development)

# The prefix is found from the file's own place, so the installed tree can be moved.
file(RELATIVE_PATH VEXA_PC_PREFIX_FROM_PCFILEDIR /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VEXA_PC_PREFIX_FROM_PCFILEDIR "${VEXA_PC_PREFIX_FROM_PCFILEDIR}")
# A static library's users define VEXA_STATIC, as the CMake package does for them.
set(VEXA_PC_CFLAGS "")
if(vexa_library_type STREQUAL "STATIC_LIBRARY")
  set(VEXA_PC_CFLAGS " -DVEXA_STATIC")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/vexa.pc.in ${PROJECT_BINARY_DIR}/vexa.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vexa.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT Development)

# The launcher ships beside the INI and CAB files; it goes with the runtime of the Windows kit.
# The signing script goes with it, so that a maintainer who receives the kit signs its images
# without the source tree.
if(TARGET Install)
  install(TARGETS Install RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/sign-images.sh DESTINATION tools COMPONENT Tools)
endif()
