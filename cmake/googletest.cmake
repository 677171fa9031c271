# GoogleTest as GTest::gtest and GTest::gtest_main on every platform. Natively the installed
# package; for a cross target Debian's sources, built with the target's compiler. They are added
# before the project's warning options, and without warnings as errors: neither is meant for
# third-party code.
if(CMAKE_CROSSCOMPILING)
  set(VEXA_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources built for a cross target")
  function(vexa_add_googletest_from_source)
    set(BUILD_GMOCK OFF)
    set(INSTALL_GTEST OFF)
    set(CMAKE_COMPILE_WARNING_AS_ERROR OFF)
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

# Registers each test of a GoogleTest program with CTest, as found in the program's sources: no
# program runs to list them, neither at build time nor when CTest starts, so every preset builds,
# and `ctest -L host` runs, on a machine that cannot execute the target's programs at all. A
# test passes only when its program reports exactly one test passed; one that the preprocessor
# left out of this build (Debug-only, 64-bit `long` only) runs none and is reported as skipped,
# never as passed. Each runs a program of the target.
function(vexa_discover_tests target)
  gtest_add_tests(TARGET ${target} TEST_LIST tests)
  vexa_test_kind(target ${tests})
  set_tests_properties(${tests} PROPERTIES
      PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] 1 test;\\[==========\\] Running 0 tests from")
endfunction()
