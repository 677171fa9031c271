#ifndef LAUNCHER_PLATFORM_H
#define LAUNCHER_PLATFORM_H

#include <cstdint>

namespace launcher {

/// An opaque registry key, window, process or thread handle; 0 stands for none.
typedef std::uintptr_t Handle;

/// Text crosses the seam as UTF-16 code units, as the system's wide calls take it, whatever the
/// width of wchar_t where the logic is built. Lengths and sizes count units.
typedef char16_t Unit;

/// The two handles a started process comes with.
struct ProcessHandles {
    Handle process;
    Handle thread;
};

/// The view of the registry a key is opened in: the launcher's own, which the system redirects for
/// a 32-bit program on 64-bit Windows, or the 64-bit one (KEY_WOW64_64KEY).
enum RegistryView { kOwnView, k64BitView };

/// The types of registry value the launcher tells apart: text (REG_SZ), text that names
/// environment variables to expand (REG_EXPAND_SZ), and every other type.
enum ValueType { kTextValue, kExpandableTextValue, kOtherValue };

/// The two ways the launcher shows the setup window (SW_SHOWMINIMIZED and SW_SHOWNORMAL).
enum ShowCommand { kShowMinimized, kShowNormal };

/// The Win32 operations the launcher uses, one member per call, reduced to the results it relies
/// on. The run sequence takes it as a parameter so that it can run against a scripted fake.
class Platform {
public:
    virtual ~Platform() {}
    /// RegOpenKeyExW on HKEY_LOCAL_MACHINE with read access in the given view; zero on success,
    /// which sets key.
    virtual long OpenKey(const Unit* subkey, RegistryView view, Handle* key) = 0;
    /// RegQueryValueExW of the key's default value into size units of data; zero on success, and
    /// a value that does not fit fails. It sets the value's type and the count of bytes the
    /// registry gave for it, which need not be a whole number of units nor include a terminator.
    virtual long QueryDefaultValue(Handle key, Unit* data, std::uint32_t size, ValueType* type,
                                   std::uint32_t* bytes) = 0;
    /// ExpandEnvironmentStringsW of text into size units of expanded: the count of units the
    /// expansion takes with its terminator, more than size when it did not fit, 0 on failure.
    virtual std::uint32_t ExpandEnvironmentText(const Unit* text, Unit* expanded,
                                                std::uint32_t size) = 0;
    /// RegCloseKey.
    virtual void CloseKey(Handle key) = 0;
    /// FindWindowW of any class by its whole title; 0 when there is none.
    virtual Handle FindWindowByTitle(const Unit* title) = 0;
    /// ShowWindow.
    virtual void ShowWindowAs(Handle window, ShowCommand command) = 0;
    /// MessageBoxW with no owner, an error icon and one OK button; returns once dismissed.
    virtual void ShowErrorMessage(const Unit* text, const Unit* caption) = 0;
    /// GetModuleFileNameW of the launcher itself into size units of path: the count of units
    /// written without a terminator, 0 on failure, size when the path was cut short.
    virtual std::uint32_t GetModulePath(Unit* path, std::uint32_t size) = 0;
    /// CreateProcessW of the application file, taken as one whole name, with the command line, with
    /// default security, no inherited handles, no creation flags, the launcher's environment and
    /// folder and a zeroed start-up record; true when the process was started, which sets started.
    virtual bool StartProcess(const Unit* application, Unit* command_line,
                              ProcessHandles* started) = 0;
    /// GetExitCodeProcess: 259 while the process runs; false when the query failed.
    virtual bool GetExitCode(Handle process, std::uint32_t* exit_code) = 0;
    /// WaitForSingleObject on the process with a zero timeout: true only while it still runs.
    virtual bool IsProcessRunning(Handle process) = 0;
    /// CloseHandle.
    virtual void CloseHandle(Handle handle) = 0;
    /// Sleep.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    /// GetTickCount: milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t GetTickCount() = 0;
};

}  // namespace launcher

#endif
