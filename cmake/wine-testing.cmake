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
# Usage: wine-run.sh PROGRAM [ARGUMENT...] | --start-server | --stop-server
set(VEXA_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run.sh)
file(CONFIGURE OUTPUT ${VEXA_WINE_RUN} CONTENT
    "#!/bin/sh\nexec '${CMAKE_CURRENT_LIST_DIR}/wine-run.sh' ${VEXA_WINE_ARCH} '${VEXA_WINEPREFIX}' \"$@\"\n")
file(CHMOD ${VEXA_WINE_RUN} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXA_WINE_RUN})

add_test(NAME wine.start COMMAND ${VEXA_WINE_RUN} --start-server)
add_test(NAME wine.stop COMMAND ${VEXA_WINE_RUN} --stop-server)
# Starting may first make the prefix, which takes a while on a loaded machine.
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP target_runtime TIMEOUT 600)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP target_runtime TIMEOUT 60)
