// What the Wine fixtures share: appending key=value lines to a record file, and times in the
// one clock that both the fixtures and the scenario scripts read.
#ifndef LAUNCHER_TESTS_WINE_FIXTURE_RECORD_H
#define LAUNCHER_TESTS_WINE_FIXTURE_RECORD_H

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fixture {

/// Milliseconds since 1970 of a wall-clock file time, the clock of `date +%s%3N`.
inline long long UnixMilliseconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    const unsigned long long kUnixEpoch = 116444736000000000ULL;
    return static_cast<long long>((value.QuadPart - kUnixEpoch) / 10000);
}

/// The present wall-clock time in milliseconds since 1970.
inline long long NowMilliseconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return UnixMilliseconds(now);
}

/// Appends one key=value line. Each line is opened, written and closed on its own, so that a
/// fixture ended from outside leaves every line it recorded before.
inline void Record(const std::string& path, const std::string& key, const std::string& value) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == NULL) return;
    std::fprintf(file, "%s=%s\n", key.c_str(), value.c_str());
    std::fclose(file);
}

inline void Record(const std::string& path, const std::string& key, long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    Record(path, key, text);
}

/// A decimal number from text; fallback when there is none.
inline long long Number(const char* text, long long fallback) {
    if (text == NULL || *text == '\0') return fallback;
    char* end = NULL;
    const long long value = std::strtoll(text, &end, 10);
    return *end == '\0' ? value : fallback;
}

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace fixture

#endif
