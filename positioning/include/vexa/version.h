#ifndef VEXA_VERSION_H
#define VEXA_VERSION_H

// The one place the version is written: CMake reads the three numbers from here for the project,
// the package files and the version resources.

/// The library's major version: it changes when callers must be rebuilt.
#define VEXA_VERSION_MAJOR 1
/// The library's minor version: it changes when something is added.
#define VEXA_VERSION_MINOR 2
/// The library's patch version: it changes when something is mended.
#define VEXA_VERSION_PATCH 0
/// The three as one number for preprocessor tests: major * 10000 + minor * 100 + patch.
#define VEXA_VERSION (VEXA_VERSION_MAJOR * 10000 + VEXA_VERSION_MINOR * 100 + VEXA_VERSION_PATCH)

#endif
