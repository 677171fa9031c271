# 32-bit Windows desktop, the shipped target; its programs run under 32-bit Wine.
set(VEXA_MINGW_PROCESSOR i686)
set(VEXA_PE_FORMAT pei-i386)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
