# Windows desktop with MinGW-w64, shared by the 32-bit and the 64-bit toolchain files, which set
# only what tells the two targets apart: VEXA_MINGW_PROCESSOR (i686 or x86_64) and
# VEXA_PE_FORMAT (the images' file format).
# The posix thread model is needed by GoogleTest (std::mutex); -static then keeps libstdc++,
# libgcc and winpthread out of the DLLs a binary imports, so nothing but system DLLs has to ship
# beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VEXA_MINGW_PROCESSOR})
set(VEXA_MINGW_TRIPLET ${VEXA_MINGW_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${VEXA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VEXA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEXA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
