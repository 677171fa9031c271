# GoogleTest as GTest::gtest and GTest::gtest_main on every platform. Natively the installed
# package; for a cross target Debian's sources, built with the target's compiler. They are added
# before the project's warning options, which are not meant for third-party code.
if(CMAKE_CROSSCOMPILING)
  set(VEXA_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources built for a cross target")
  function(vexa_add_googletest_from_source)
    set(BUILD_GMOCK OFF)
    set(INSTALL_GTEST OFF)
    add_subdirectory(${VEXA_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest
        EXCLUDE_FROM_ALL SYSTEM)
  endfunction()
  vexa_add_googletest_from_source()
  # Recent GoogleTest releases name their targets so themselves.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

include(GoogleTest)

# Registers a GoogleTest program's tests with CTest. Under an emulator every test needs the
# target's runtime fixture, so the tests are registered here, never with the fixture forgotten.
function(vexa_discover_tests target)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES FIXTURES_REQUIRED "${VEXA_TEST_FIXTURES}")
endfunction()
