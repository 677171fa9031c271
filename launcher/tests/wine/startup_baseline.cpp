// The floor under Install.exe's processor time: a program that loads the same system libraries,
// makes one call into each of them, sleeps as long as it is told (in one call, as the launcher's
// hold does) and ends. Under Wine, a process that uses the window manager costs processor time
// before and around any work of its own, and this measures that cost on the same machine in the
// same run.
// Usage: startup_baseline.exe [SLEEP_MS]   (default 0)
#include <windows.h>

#include "fixture_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    ::GetModuleFileNameA(NULL, path, sizeof path);
    HKEY key = NULL;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key) == ERROR_SUCCESS)
        ::RegCloseKey(key);
    ::FindWindowA(NULL, "Corvane Field Software");
    const long long sleep_ms = __argc == 2 ? fixture::Number(__argv[1], 0) : 0;
    if (sleep_ms > 0) ::Sleep(static_cast<DWORD>(sleep_ms));
    return 0;
}
