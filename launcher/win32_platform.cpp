// The launcher's entry point and its one binding to Win32.
#include <windows.h>

#include "command_line.h"
#include "install_run.h"
#include "platform.h"

namespace {

using launcher::Handle;

template <class Win32Handle>
Win32Handle As(Handle handle) {
    return reinterpret_cast<Win32Handle>(handle);
}

Handle FromWin32(const void* handle) { return reinterpret_cast<Handle>(handle); }

class Win32Platform : public launcher::Platform {
public:
    long OpenKey(const char* subkey, launcher::RegistryView view, Handle* key) override {
        // 32-bit Windows ignores the 64-bit view's flag.
        const REGSAM access = view == launcher::k64BitView ? KEY_READ | KEY_WOW64_64KEY : KEY_READ;
        HKEY opened = NULL;
        const LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, access, &opened);
        *key = FromWin32(opened);
        return status;
    }
    long QueryDefaultValue(Handle key, char* data, std::uint32_t size) override {
        DWORD length = size;
        return ::RegQueryValueExA(As<HKEY>(key), NULL, NULL, NULL, reinterpret_cast<BYTE*>(data),
                                  &length);
    }
    void CloseKey(Handle key) override { ::RegCloseKey(As<HKEY>(key)); }
    Handle FindWindowByTitle(const char* title) override {
        return FromWin32(::FindWindowA(NULL, title));
    }
    void ShowWindowAs(Handle window, launcher::ShowCommand command) override {
        ::ShowWindow(As<HWND>(window),
                     command == launcher::kShowMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    }
    void ShowErrorMessage(const char* text, const char* caption) override {
        ::MessageBoxA(NULL, text, caption, MB_OK | MB_ICONERROR);
    }
    std::uint32_t GetModulePath(char* path, std::uint32_t size) override {
        return ::GetModuleFileNameA(NULL, path, size);
    }
    bool StartProcess(const char* application, char* command_line,
                      launcher::ProcessHandles* started) override {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessA(application, command_line, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                              &process)) {
            return false;
        }
        started->process = FromWin32(process.hProcess);
        started->thread = FromWin32(process.hThread);
        return true;
    }
    bool GetExitCode(Handle process, std::uint32_t* exit_code) override {
        DWORD code = 0;
        if (!::GetExitCodeProcess(As<HANDLE>(process), &code)) return false;
        *exit_code = code;
        return true;
    }
    bool IsProcessRunning(Handle process) override {
        // A failed wait counts as ended, since waiting on would never learn otherwise.
        return ::WaitForSingleObject(As<HANDLE>(process), 0) == WAIT_TIMEOUT;
    }
    void CloseHandle(Handle handle) override { ::CloseHandle(As<HANDLE>(handle)); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::uint32_t GetTickCount() override { return ::GetTickCount(); }
};

}  // namespace

// The C runtime's own tail of the command line is not used: runtimes differ on bytes from 128 up.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Platform platform;
    launcher::RunInstall(platform, launcher::CommandLineArgument(::GetCommandLineA()));
    return 0;
}
