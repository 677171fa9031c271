// A stand-in for the C header of Microsoft's compiler, for the dialect check: the same assert,
// on the run-time library's function of that era.
#ifndef VEXA_TESTS_MSVC_STAND_IN_ASSERT_H
#define VEXA_TESTS_MSVC_STAND_IN_ASSERT_H

extern "C" void __cdecl _assert(const char* expression, const char* file, unsigned line);

#ifdef NDEBUG
#define assert(expression) ((void)0)
#else
#define assert(expression) (void)((!!(expression)) || (_assert(#expression, __FILE__, __LINE__), 0))
#endif

#endif
