#ifndef VEXA_EXPORT_H
#define VEXA_EXPORT_H

/// VEXA_API marks what the library exports. The build defines VEXA_BUILDING; users never do.
#if defined(_WIN32) || defined(__CYGWIN__) || defined(_WIN32_WCE)
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

#endif
