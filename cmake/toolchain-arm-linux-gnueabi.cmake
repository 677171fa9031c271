# 32-bit ARM Linux, soft-float EABI (Debian armel): the closest reachable relative of the
# handheld, which has no floating-point hardware. Programs run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT -mfloat-abi=soft)
set(CMAKE_CXX_FLAGS_INIT -mfloat-abi=soft)

set(VEXA_ARM_SYSROOT /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH ${VEXA_ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L ${VEXA_ARM_SYSROOT})
