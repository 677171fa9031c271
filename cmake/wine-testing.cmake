# Windows programs of the tests run under Wine in a throwaway prefix under the build folder, of
# the target's architecture, through cmake/wine-run.sh as the emulator. Wine's first process
# starts the prefix's server and services, which would hold CTest's output pipe open while CTest
# waits for it to close; so the fixture target_runtime starts them first, detached from every
# pipe, and ends them after the last test that requires it. It is their one owner: the scripts
# that run the demo or the launcher's timing do so through CTest too.
set(VEXA_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Throwaway Wine prefix of the tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEXA_WINE_ARCH win64)
else()
  set(VEXA_WINE_ARCH win32)
endif()
# This build's own runner, which gives cmake/wine-run.sh the build's architecture and prefix: the
# emulator of its tests, and what scripts call to run a program of the build or to end its server.
# Usage: wine-run.sh PROGRAM [ARGUMENT...] | --start-server | --stop-server | --check
set(VEXA_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXA_WINE_RUN})
set(vexa_wine_run_script ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# Writes RUNNER, such a runner over the prefix PREFIX, and adds the tests NAME.start and NAME.stop,
# the setup and cleanup of the fixture FIXTURE, which own the prefix's server. Tests in another
# prefix share neither its registry nor its desktop with those in this one.
function(vexa_add_wine_runtime name runner prefix fixture)
  file(CONFIGURE OUTPUT ${runner} CONTENT
      "#!/bin/sh\nexec '${vexa_wine_run_script}' ${VEXA_WINE_ARCH} '${prefix}' \"$@\"\n")
  file(CHMOD ${runner} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
      GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  add_test(NAME ${name}.start COMMAND ${runner} --start-server)
  add_test(NAME ${name}.stop COMMAND ${runner} --stop-server)
  # Starting may first make the prefix, which takes a while on a loaded machine.
  set_tests_properties(${name}.start PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 600)
  set_tests_properties(${name}.stop PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 60)
  vexa_test_kind(wine ${name}.start ${name}.stop)
endfunction()
vexa_add_wine_runtime(wine ${VEXA_WINE_RUN} ${VEXA_WINEPREFIX} target_runtime)
