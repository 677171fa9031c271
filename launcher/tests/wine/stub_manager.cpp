// Stands in for the Application Manager: records which file was started, how, whether the INI file
// it was given exists, and what the setup windows looked like while it ran, then runs for a while
// and exits with a chosen code. Its settings come from the environment, which it inherits from the
// launcher:
//   E2E_MANAGER_RECORD     the record file (nothing runs without it)
//   E2E_MANAGER_RUN_MS     how long it runs, 1000 ms unless given
//   E2E_MANAGER_EXIT_CODE  its exit code, 0 unless given
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fixture_record.h"

namespace {

const char* const kSetupWindowTitles[] = {"Corvane Field Software", "Plotwise Field",
                                          "Tervalo Field", "Orvida Toolbox"};

// One line per title: absent, open or minimised.
void RecordSetupWindows(const std::string& record, const std::string& moment) {
    for (size_t i = 0; i < sizeof kSetupWindowTitles / sizeof kSetupWindowTitles[0]; ++i) {
        const HWND window = ::FindWindowA(NULL, kSetupWindowTitles[i]);
        const char* state = window == NULL ? "absent" : ::IsIconic(window) ? "minimised" : "open";
        fixture::Record(record, "manager." + moment + "." + kSetupWindowTitles[i], state);
    }
}

// The INI file's path: the text inside the last pair of double quotes, which the launcher puts at
// the end of the command line; empty when there is none.
std::wstring QuotedIniPath(const std::wstring& command_line) {
    const std::size_t closing = command_line.rfind(L'"');
    if (closing == std::wstring::npos || closing == 0) return std::wstring();
    const std::size_t opening = command_line.rfind(L'"', closing - 1);
    if (opening == std::wstring::npos) return std::wstring();
    return command_line.substr(opening + 1, closing - opening - 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Wide: the ANSI code page cannot hold every letter of a path.
    wchar_t path[4 * MAX_PATH] = L"";
    const DWORD length = ::GetEnvironmentVariableW(L"E2E_MANAGER_RECORD", path, 4 * MAX_PATH);
    if (length == 0 || length >= 4 * MAX_PATH) return 90;
    const std::string record = fixture::Utf8(path);

    // The creation time is taken by the system while the launcher's process start runs, right
    // before the launcher reads its start tick; it is what a hold is measured from.
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        fixture::Record(record, "manager.created_ms", fixture::UnixMilliseconds(created));
    }
    fixture::Record(record, "manager.started_ms", fixture::NowMilliseconds());
    const wchar_t* const command_line = ::GetCommandLineW();
    fixture::Record(record, "manager.command_line", fixture::Utf8(command_line));
    const std::wstring ini_path = QuotedIniPath(command_line);
    fixture::Record(
        record, "manager.ini_exists",
        !ini_path.empty() && ::GetFileAttributesW(ini_path.c_str()) != INVALID_FILE_ATTRIBUTES
            ? "yes"
            : "no");
    // What the narrow calls would have made of the text.
    fixture::Record(record, "manager.ansi_code_page", static_cast<long long>(::GetACP()));
    wchar_t module[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, module, MAX_PATH);
    fixture::Record(record, "manager.module", fixture::Utf8(module));
    RecordSetupWindows(record, "at_start");

    const long long run_ms = fixture::Number(std::getenv("E2E_MANAGER_RUN_MS"), 1000);
    const long long exit_code = fixture::Number(std::getenv("E2E_MANAGER_EXIT_CODE"), 0);
    ::Sleep(static_cast<DWORD>(run_ms));

    RecordSetupWindows(record, "at_exit");
    fixture::Record(record, "manager.exiting_ms", fixture::NowMilliseconds());
    return static_cast<int>(exit_code);
}
