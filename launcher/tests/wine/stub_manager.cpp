// Stands in for the Application Manager: records which file was started, how, and what the setup
// windows looked like while it ran, then runs for a while and exits with a chosen code. Its settings come
// from the environment, which it inherits from the launcher:
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* record_path = std::getenv("E2E_MANAGER_RECORD");
    if (record_path == NULL || *record_path == '\0') return 90;
    const std::string record = record_path;

    // The creation time is taken by the system while the launcher's process start runs, right
    // before the launcher reads its start tick; it is what a hold is measured from.
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        fixture::Record(record, "manager.created_ms", fixture::UnixMilliseconds(created));
    }
    fixture::Record(record, "manager.started_ms", fixture::NowMilliseconds());
    fixture::Record(record, "manager.command_line", ::GetCommandLineA());
    char module[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, module, MAX_PATH);
    fixture::Record(record, "manager.module", module);
    RecordSetupWindows(record, "at_start");

    const long long run_ms = fixture::Number(std::getenv("E2E_MANAGER_RUN_MS"), 1000);
    const long long exit_code = fixture::Number(std::getenv("E2E_MANAGER_EXIT_CODE"), 0);
    ::Sleep(static_cast<DWORD>(run_ms));

    RecordSetupWindows(record, "at_exit");
    fixture::Record(record, "manager.exiting_ms", fixture::NowMilliseconds());
    return static_cast<int>(exit_code);
}
