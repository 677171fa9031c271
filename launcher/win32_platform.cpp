// The launcher's entry point and its one binding to Win32.
#include <windows.h>

#include <cstddef>
#include <cwchar>

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

// The seam's units and WCHAR are both UTF-16 code units of 16 bits; only the system reads and
// writes text through these.
static_assert(sizeof(WCHAR) == sizeof(launcher::Unit), "WCHAR holds one UTF-16 unit");

LPCWSTR Wide(const launcher::Unit* text) { return reinterpret_cast<LPCWSTR>(text); }

LPWSTR Wide(launcher::Unit* text) { return reinterpret_cast<LPWSTR>(text); }

const launcher::Unit* Units(LPCWSTR text) { return reinterpret_cast<const launcher::Unit*>(text); }

class Win32Platform : public launcher::Platform {
public:
    long OpenKey(const launcher::Unit* subkey, launcher::RegistryView view, Handle* key) override {
        // 32-bit Windows ignores the 64-bit view's flag.
        const REGSAM access = view == launcher::k64BitView ? KEY_READ | KEY_WOW64_64KEY : KEY_READ;
        HKEY opened = NULL;
        const LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(subkey), 0, access, &opened);
        *key = FromWin32(opened);
        return status;
    }
    long QueryDefaultValue(Handle key, launcher::Unit* data, std::uint32_t size,
                           launcher::ValueType* type, std::uint32_t* bytes) override {
        // The registry counts bytes.
        DWORD length = size * sizeof(WCHAR);
        DWORD value_type = REG_NONE;
        const LONG status = ::RegQueryValueExW(As<HKEY>(key), NULL, NULL, &value_type,
                                               reinterpret_cast<BYTE*>(data), &length);
        *type = value_type == REG_SZ          ? launcher::kTextValue
                : value_type == REG_EXPAND_SZ ? launcher::kExpandableTextValue
                                              : launcher::kOtherValue;
        *bytes = length;
        return status;
    }
    std::uint32_t ExpandEnvironmentText(const launcher::Unit* text, launcher::Unit* expanded,
                                        std::uint32_t size) override {
        return ::ExpandEnvironmentStringsW(Wide(text), Wide(expanded), size);
    }
    void CloseKey(Handle key) override { ::RegCloseKey(As<HKEY>(key)); }
    Handle FindWindowByTitle(const launcher::Unit* title) override {
        return FromWin32(::FindWindowW(NULL, Wide(title)));
    }
    void ShowWindowAs(Handle window, launcher::ShowCommand command) override {
        ::ShowWindow(As<HWND>(window),
                     command == launcher::kShowMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    }
    void ShowErrorMessage(const launcher::Unit* text, const launcher::Unit* caption) override {
        ::MessageBoxW(NULL, Wide(text), Wide(caption), MB_OK | MB_ICONERROR);
    }
    std::uint32_t GetModulePath(launcher::Unit* path, std::uint32_t size) override {
        return ::GetModuleFileNameW(NULL, Wide(path), size);
    }
    bool StartProcess(const launcher::Unit* application, launcher::Unit* command_line,
                      launcher::ProcessHandles* started) override {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessW(Wide(application), Wide(command_line), NULL, NULL, FALSE, 0, NULL,
                              NULL, &startup, &process)) {
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

// A function of kernel32 that older systems may lack; null where it is absent.
template <class Function>
Function Kernel32Function(const char* name) {
    // Through void (*)(), the one function type that converts to any other without a warning.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}

// What Windows loads by name, on demand, for this run's own calls on the systems without
// SetDefaultDllDirectories (XP, Vista, and 7 without KB2533623): the names that a trial planted
// beside this launcher, none of them a known DLL, less textshaping.dll, which only newer systems
// have. uxtheme.dll and dwmapi.dll draw the message box's themed frame, apphelp.dll checks a
// process start for compatibility, and version.dll (which the trial found loaded) and cryptbase.dll
// are loaded by system DLLs in turn. Each comes before those that may load it.
const wchar_t* const kOnDemandDlls[] = {L"version.dll", L"cryptbase.dll", L"dwmapi.dll",
                                        L"uxtheme.dll", L"apphelp.dll"};

// Loads each of them from the system folder by its full path, so that a later load by name finds
// it loaded. One that a system lacks is passed over.
void PreloadOnDemandDlls() {
    wchar_t path[MAX_PATH];
    const UINT folder = ::GetSystemDirectoryW(path, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH) return;
    for (const wchar_t* const name : kOnDemandDlls) {
        const std::size_t length = std::wcslen(name);
        if (folder + 1 + length >= MAX_PATH) continue;
        path[folder] = L'\\';
        std::wmemcpy(path + folder + 1, name, length + 1);
        // Its own dependencies are then looked for in the system folder too, not beside us.
        ::LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}

// Windows looks for a DLL that is not a known DLL in the program's own folder first, and a kit is
// typically run from a downloads folder, often as administrator since the program is named
// Install: a DLL planted beside it would run with those rights. So DLLs are looked for in the
// system folder alone, before any call that may load one.
void RestrictDllSearch() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    const SetDefaultDllDirectoriesFunction set_default_dll_directories =
        Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (set_default_dll_directories != NULL &&
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // Without it the current folder can still be taken out of the search (XP SP1 and later), and
    // what is loaded by name later is loaded now from the system folder.
    typedef BOOL(WINAPI * SetDllDirectoryFunction)(LPCWSTR);
    const SetDllDirectoryFunction set_dll_directory =
        Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryW");
    if (set_dll_directory != NULL) set_dll_directory(L"");
    PreloadOnDemandDlls();
}

}  // namespace

// The argument is split off the whole wide command line here, so the C runtime's own forms of it,
// narrow or wide, are never used: the narrow entry point serves as well as the wide one would.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    Win32Platform platform;
    launcher::RunInstall(platform, launcher::CommandLineArgument(Units(::GetCommandLineW())));
    return 0;
}
