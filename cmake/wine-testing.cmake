# Windows programs of the tests run under Wine in a throwaway prefix under the build folder, of
# the target's architecture, through cmake/wine-run.sh as the emulator. Wine's first process
# starts the prefix's server and services, which would hold CTest's output pipe open while CTest
# waits for it to close; so the fixture VEXA_TEST_FIXTURES starts them first, detached from every
# pipe, and ends them after the last test that requires it.
set(VEXA_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Throwaway Wine prefix of the tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEXA_WINE_ARCH win64)
else()
  set(VEXA_WINE_ARCH win32)
endif()
# The emulator is one program and the prefix, as the scenario scripts take it: a script in the
# build folder that gives cmake/wine-run.sh this build's architecture.
set(VEXA_WINE_RUN_SCRIPT ${PROJECT_BINARY_DIR}/wine-run.sh)
file(CONFIGURE OUTPUT ${VEXA_WINE_RUN_SCRIPT}
    CONTENT "#!/bin/sh\nexec '${CMAKE_CURRENT_LIST_DIR}/wine-run.sh' ${VEXA_WINE_ARCH} \"$@\"\n")
file(CHMOD ${VEXA_WINE_RUN_SCRIPT} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(VEXA_WINE_RUN ${VEXA_WINE_RUN_SCRIPT} ${VEXA_WINEPREFIX})
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXA_WINE_RUN})

add_test(NAME wine.start COMMAND ${VEXA_WINE_RUN} --start-server)
add_test(NAME wine.stop COMMAND ${VEXA_WINE_RUN} --stop-server)
# Starting may first make the prefix, which takes a while on a loaded machine.
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP ${VEXA_TEST_FIXTURES} TIMEOUT 600)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP ${VEXA_TEST_FIXTURES} TIMEOUT 60)

