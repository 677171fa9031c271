// A stand-in for the C header of Microsoft's compiler, for the dialect check: what the library
// uses of it.
#ifndef VEXA_TESTS_MSVC_STAND_IN_STRING_H
#define VEXA_TESTS_MSVC_STAND_IN_STRING_H

#include <stddef.h>

extern "C" void* __cdecl memcpy(void* destination, const void* source, size_t count);

#endif
