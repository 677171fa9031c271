#include "fake_platform.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

void FakePlatform::AddWindow(const std::string& title) {
    const launcher::Handle handle = 100 + windows.size();
    windows[title] = handle;
}

std::string FakePlatform::NameOf(launcher::Handle handle) const {
    if (handle == kKey) return "key";
    if (handle == kKey64) return "key64";
    if (handle == kProcess) return "process";
    if (handle == kThread) return "thread";
    for (const auto& window : windows) {
        if (window.second == handle) return window.first;
    }
    return std::to_string(handle);
}

long FakePlatform::OpenKey(const char* subkey, launcher::RegistryView view, launcher::Handle* key) {
    const bool wide = view == launcher::k64BitView;
    calls.push_back(std::string(wide ? "OpenKey64 " : "OpenKey ") + subkey);
    const long status = wide ? open_status_64 : open_status;
    if (status == 0) *key = wide ? kKey64 : kKey;
    return status;
}

long FakePlatform::QueryDefaultValue(launcher::Handle key, char* data, std::uint32_t size) {
    calls.push_back("QueryDefaultValue " + NameOf(key) + " " + std::to_string(size));
    const bool wide = key == kKey64;
    const long status = wide ? query_status_64 : query_status;
    if (status != 0) return status;
    // Like the registry, a value too large for the buffer fails, with the buffer's contents
    // undefined: here as much of the value as fits.
    const std::string& value = wide ? registry_value_64 : registry_value;
    std::memcpy(data, value.data(), std::min<std::size_t>(size, value.size()));
    const long more_data = 234;
    return value.size() > size ? more_data : 0;
}

void FakePlatform::CloseKey(launcher::Handle key) { calls.push_back("CloseKey " + NameOf(key)); }

launcher::Handle FakePlatform::FindWindowByTitle(const char* title) {
    calls.push_back(std::string("FindWindow ") + title);
    const auto window = windows.find(title);
    return window == windows.end() ? 0 : window->second;
}

void FakePlatform::ShowWindowAs(launcher::Handle window, launcher::ShowCommand command) {
    calls.push_back("ShowWindow " + NameOf(window) +
                    (command == launcher::kShowMinimized ? " minimized" : " normal"));
}

void FakePlatform::ShowErrorMessage(const char* text, const char* caption) {
    calls.push_back(std::string("MessageBox [") + caption + "] " + text);
}

std::uint32_t FakePlatform::GetModulePath(char* path, std::uint32_t size) {
    calls.push_back("GetModulePath " + std::to_string(size));
    if (module_path_fails) return 0;
    // As on older systems: a path cut short fills the buffer and has no terminator.
    const std::uint32_t length =
        static_cast<std::uint32_t>(std::min<std::size_t>(module_path.size(), size));
    std::memcpy(path, module_path.data(), length);
    if (length < size) path[length] = '\0';
    return length;
}

bool FakePlatform::StartProcess(const char* application, char* command_line,
                                launcher::ProcessHandles* started) {
    calls.push_back(std::string("StartProcess [") + application + "] " + command_line);
    if (!start_succeeds) {
        started->process = 0xBAD1;
        started->thread = 0xBAD2;
        return false;
    }
    started->process = kProcess;
    started->thread = kThread;
    started_at_ = clock;
    return true;
}

bool FakePlatform::GetExitCode(launcher::Handle process, std::uint32_t* exit_code) {
    calls.push_back("GetExitCode " + NameOf(process));
    if (exit_code_query_fails) return false;
    *exit_code = ManagerHasExited() ? manager_exit_code : 259;
    return true;
}

bool FakePlatform::IsProcessRunning(launcher::Handle process) {
    calls.push_back("IsProcessRunning " + NameOf(process));
    return !ManagerHasExited();
}

bool FakePlatform::ManagerHasExited() const {
    return manager_exits && clock - started_at_ >= manager_run_ms;
}

void FakePlatform::CloseHandle(launcher::Handle handle) {
    calls.push_back("CloseHandle " + NameOf(handle));
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
    calls.push_back("Sleep " + std::to_string(milliseconds));
    if (++sleeps_ > kSleepLimit) throw std::runtime_error("the run keeps sleeping");
    clock += milliseconds;
}

std::uint32_t FakePlatform::GetTickCount() {
    calls.push_back("GetTickCount");
    clock += tick_step;
    return clock;
}
