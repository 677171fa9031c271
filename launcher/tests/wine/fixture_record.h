// What the Wine fixtures share: appending key=value lines to a record file, and times in the
// one clock that both the fixtures and the scenario scripts read. Text is UTF-8 here, paths
// included, so that the scripts read any script's letters as they wrote them.
#ifndef LAUNCHER_TESTS_WINE_FIXTURE_RECORD_H
#define LAUNCHER_TESTS_WINE_FIXTURE_RECORD_H

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

/// UTF-8 text of wide text.
inline std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    if (size <= 1) return std::string();
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, NULL, NULL);
    utf8.resize(static_cast<std::size_t>(size - 1));
    return utf8;
}

/// Wide text of UTF-8 text.
inline std::wstring Wide(const std::string& utf8) {
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    if (size <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<std::size_t>(size - 1));
    return wide;
}

/// The program's arguments, its own name first, as UTF-8, read from the wide command line so that
/// letters of any script arrive whole.
inline std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == NULL) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

/// Appends one key=value line. Each line is opened, written and closed on its own, so that a
/// fixture ended from outside leaves every line it recorded before.
inline void Record(const std::string& path, const std::string& key, const std::string& value) {
    std::FILE* file = ::_wfopen(Wide(path).c_str(), L"ab");
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
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace fixture

#endif
