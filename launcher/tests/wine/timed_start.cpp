// Starts a program, waits a bounded time for it to end, and records its exit code, its start and
// end times and the processor time it used.
// Usage: timed_start.exe RECORD TIMEOUT_MS PROGRAM [ARGUMENT]
// The program's command line is PROGRAM in double quotes, then a blank and ARGUMENT when one is
// given. A program still running after TIMEOUT_MS is ended and the run recorded as timed out.
// Its arguments are read and passed on as wide text, so that letters of any script arrive whole.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fixture_record.h"

namespace {

const DWORD kSampleInterval = 100;

long long Milliseconds(const FILETIME& duration) {
    ULARGE_INTEGER value;
    value.LowPart = duration.dwLowDateTime;
    value.HighPart = duration.dwHighDateTime;
    return static_cast<long long>(value.QuadPart / 10000);
}

// Processor time in user and kernel mode; -1 when the system does not tell.
long long ProcessorMilliseconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    return Milliseconds(kernel) + Milliseconds(user);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = fixture::Arguments();
    if (arguments.size() != 4 && arguments.size() != 5) return 2;
    const std::string& record = arguments[1];
    const DWORD timeout = static_cast<DWORD>(fixture::Number(arguments[2].c_str(), 60000));
    const std::wstring program = fixture::Wide(arguments[3]);
    std::wstring command_line = L"\"" + program + L"\"";
    if (arguments.size() == 5) command_line += L" " + fixture::Wide(arguments[4]);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessW(program.c_str(), &command_line[0], NULL, NULL, FALSE, 0, NULL, NULL,
                          &startup, &started)) {
        fixture::Record(record, "run.start_error", static_cast<long long>(::GetLastError()));
        return 3;
    }
    ::CloseHandle(started.hThread);

    // Sampled while it runs as well, in case the system forgets the times of an ended process.
    long long sampled_cpu_ms = -1;
    const DWORD begun = ::GetTickCount();
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT && ::GetTickCount() - begun < timeout) {
        waited = ::WaitForSingleObject(started.hProcess, kSampleInterval);
        const long long cpu_ms = ProcessorMilliseconds(started.hProcess);
        if (cpu_ms > sampled_cpu_ms) sampled_cpu_ms = cpu_ms;
    }
    const bool timed_out = waited != WAIT_OBJECT_0;
    if (timed_out) {
        ::TerminateProcess(started.hProcess, 99);
        ::WaitForSingleObject(started.hProcess, 5000);
    }

    DWORD exit_code = 0;
    ::GetExitCodeProcess(started.hProcess, &exit_code);
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(started.hProcess, &created, &exited, &kernel, &user)) {
        fixture::Record(record, "run.created_ms", fixture::UnixMilliseconds(created));
        fixture::Record(record, "run.exited_ms", fixture::UnixMilliseconds(exited));
        fixture::Record(record, "run.cpu_ms", Milliseconds(kernel) + Milliseconds(user));
    }
    fixture::Record(record, "run.sampled_cpu_ms", sampled_cpu_ms);
    fixture::Record(record, "run.waited_ms", fixture::NowMilliseconds());
    fixture::Record(record, "run.exit_code", static_cast<long long>(exit_code));
    fixture::Record(record, "run.timed_out", timed_out ? "yes" : "no");
    ::CloseHandle(started.hProcess);
    return timed_out ? 1 : 0;
}
