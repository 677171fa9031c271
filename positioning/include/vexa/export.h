#ifndef VEXA_EXPORT_H
#define VEXA_EXPORT_H

// The attributes that export the library's declarations from it and import them into programs.

/// VEXA_API marks what the shared library exports. Its build defines VEXA_BUILDING; users never
/// do. A program that links the static library, or compiles the library's sources in, defines
/// VEXA_STATIC instead (the CMake package and pkg-config file of a static kit do so), which turns
/// the import and export attributes off.
#if defined(VEXA_STATIC)
#define VEXA_API
#elif defined(_WIN32) || defined(__CYGWIN__) || defined(_WIN32_WCE)
#if defined(VEXA_BUILDING)
#define VEXA_API __declspec(dllexport)
#else
#define VEXA_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define VEXA_API __attribute__((visibility("default")))
#else
#define VEXA_API
#endif

/// Marks the members defined in the headers. They compile inline into callers, and the DLL still
/// exports each of them: GCC's dllexport on a class covers only its out-of-line members, MSVC's
/// covers all, and a shared object needs no copy of them.
#if defined(VEXA_BUILDING) && !defined(VEXA_STATIC) && defined(__GNUC__) && \
    (defined(_WIN32) || defined(__CYGWIN__))
#define VEXA_INLINE_API __declspec(dllexport)
#else
#define VEXA_INLINE_API
#endif

#endif
