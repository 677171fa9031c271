# Every test states its kind once, with vexa_test_kind; its label, its fixture and whether it runs
# here follow from that:
#   host    runs nothing of the target: it reads images, compiles or proves, so it runs anywhere
#   target  runs a program of this build, directly or through the build's emulator
#   wine    drives programs in a Wine prefix of this build (Windows builds tested under Wine)
# Tests of the last two kinds require the fixture that starts what the target's programs need
# (target_runtime, set up only under Wine, or the one that FIXTURE names), and are disabled
# wherever CTest runs and those programs cannot: the check of cmake/target-runtime decides that
# when CTest reads the tests, so that configure starts no program of the target and one build can
# be tested on this machine or in the virtual machine of scripts/i386-vm.sh alike.
# Usage: vexa_test_kind(host|target|wine TEST... [FIXTURE NAME])
function(vexa_test_kind kind)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FIXTURE" "")
  set(tests ${arg_UNPARSED_ARGUMENTS})
  if(NOT kind MATCHES "^(host|target|wine)$" OR NOT tests)
    message(FATAL_ERROR "usage: vexa_test_kind(host|target|wine TEST... [FIXTURE NAME])")
  endif()
  get_property(kinded GLOBAL PROPERTY VEXA_KINDED_TESTS)
  foreach(test IN LISTS tests)
    if(test IN_LIST kinded)
      message(FATAL_ERROR "the test ${test} was given a kind twice")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY VEXA_KINDED_TESTS ${tests})
  set_property(TEST ${tests} APPEND PROPERTY LABELS ${kind})
  if(kind STREQUAL "host")
    return()
  endif()
  if(NOT arg_FIXTURE)
    set(arg_FIXTURE target_runtime)
  endif()
  foreach(test IN LISTS tests)
    # A fixture's own setup and cleanup run beside it, not inside it.
    get_test_property(${test} FIXTURES_SETUP setup)
    get_test_property(${test} FIXTURES_CLEANUP cleanup)
    if(NOT setup AND NOT cleanup)
      set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${arg_FIXTURE})
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY VEXA_TARGET_TESTS ${tests})
endfunction()

# Called once, after every test is registered: refuses a test without a kind, then adds the check
# as the last folder that CTest reads.
function(vexa_finish_test_kinds)
  get_property(kinded GLOBAL PROPERTY VEXA_KINDED_TESTS)
  set(folders ${PROJECT_SOURCE_DIR})
  set(unkinded)
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    get_property(tests DIRECTORY ${folder} PROPERTY TESTS)
    list(APPEND folders ${subfolders})
    foreach(test IN LISTS tests)
      if(NOT test IN_LIST kinded)
        list(APPEND unkinded ${test})
      endif()
    endforeach()
  endwhile()
  if(unkinded)
    message(FATAL_ERROR "Give each test its kind with vexa_test_kind: ${unkinded}")
  endif()
  add_subdirectory(${PROJECT_SOURCE_DIR}/cmake/target-runtime ${PROJECT_BINARY_DIR}/target-runtime)
endfunction()
