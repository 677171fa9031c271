# 64-bit Windows desktop, built for testing: its programs run under 64-bit Wine, also on
# machines that cannot execute 32-bit x86 programs.
set(VEXA_MINGW_PROCESSOR x86_64)
set(VEXA_PE_FORMAT pei-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
