# Whether this build's programs run on this machine, found at each configure by running one that
# only returns 0 the way the tests run theirs: directly, or through the build's emulator (qemu, or
# the Wine runner). Where it cannot, the tests that run the target's programs are disabled, which
# CTest reports as not run, and target-not-runnable.txt in the build folder says why; the file is
# absent wherever they run. Only the tests that run nothing of the target run there.
set(probe_dir ${PROJECT_BINARY_DIR}/CMakeFiles/target-runtime)
file(WRITE ${probe_dir}/probe.cpp "int main() { return 0; }\n")
try_run(probe_exit probe_built ${probe_dir} ${probe_dir}/probe.cpp
    RUN_OUTPUT_VARIABLE probe_output)
set(VEXA_NOT_RUNNABLE_FILE ${PROJECT_BINARY_DIR}/target-not-runnable.txt)
if(probe_built AND probe_exit STREQUAL "0")
  set(VEXA_TARGET_RUNS ON)
  file(REMOVE ${VEXA_NOT_RUNNABLE_FILE})
else()
  set(VEXA_TARGET_RUNS OFF)
  # The runner's last word says why, as in "Exec format error" or a missing 32-bit Wine.
  string(STRIP "${probe_output}" probe_output)
  string(REGEX REPLACE ".*\n" "" probe_output "${probe_output}")
  set(reason "a program of this build could not run here (exit ${probe_exit}")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 runner)
    get_filename_component(runner ${runner} NAME)
    string(APPEND reason " under ${runner}")
  endif()
  if(probe_output)
    string(APPEND reason ": ${probe_output}")
  endif()
  string(APPEND reason ")")
  file(WRITE ${VEXA_NOT_RUNNABLE_FILE} "${reason}\n")
  message(STATUS "The tests that run this build's programs are disabled: ${reason}")
  # The runtime's own setup and cleanup, where it has any, already added here.
  get_property(runtime_tests DIRECTORY PROPERTY TESTS)
  if(runtime_tests)
    set_tests_properties(${runtime_tests} PROPERTIES DISABLED ON)
  endif()
endif()

# Marks the tests that run a program of the target: they require its runtime, and are disabled
# where it cannot run.
function(vexa_runs_target_programs)
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED target_runtime)
  if(NOT VEXA_TARGET_RUNS)
    set_tests_properties(${ARGN} PROPERTIES DISABLED ON)
  endif()
endfunction()
