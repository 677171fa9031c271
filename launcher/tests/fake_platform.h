#ifndef LAUNCHER_TESTS_FAKE_PLATFORM_H
#define LAUNCHER_TESTS_FAKE_PLATFORM_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform.h"

/// UTF-16 units of UTF-8 text, zero bytes included; a lone surrogate may be given in the
/// three-byte form that Utf8 gives it.
std::u16string Utf16(const std::string& utf8);
/// UTF-8 text of the units up to the first zero; a lone surrogate takes a three-byte form.
std::string Utf8(const launcher::Unit* units);

/// A scripted platform with a virtual clock: Sleep moves the clock on at once and GetTickCount
/// reads it, so polls and holds take no real time. Every call is recorded in order as one line.
/// Its text, set and recorded, is UTF-8, and crosses the seam as UTF-16.
class FakePlatform : public launcher::Platform {
public:
    /// The handles the fake hands out, shown by these names in the recorded calls.
    static const launcher::Handle kKey = 11;
    static const launcher::Handle kKey64 = 12;
    static const launcher::Handle kProcess = 21;
    static const launcher::Handle kThread = 22;

    /// Polls beyond this many sleeps end the run with an exception, failing the test.
    static const int kSleepLimit = 10000;

    /// The result of OpenKey in the launcher's own view of the registry.
    long open_status = 0;
    /// A non-zero result of QueryDefaultValue in the own view, which then writes nothing.
    long query_status = 0;
    /// The stored text of the default value, its terminator included when it has one.
    std::string registry_value = std::string("C:\\ActiveSync\\CEAPPMGR.EXE") + '\0';
    /// Its type, and whether its count of bytes leaves its last unit half stored.
    launcher::ValueType value_type = launcher::kTextValue;
    bool odd_byte_count = false;
    /// The same three in the 64-bit view, where the key is missing unless told and the value is
    /// whole text.
    long open_status_64 = 2;
    long query_status_64 = 0;
    std::string registry_value_64;
    /// What ExpandEnvironmentText makes of each text; it fails on any other.
    std::map<std::string, std::string> expansions;
    /// GetModulePath fails when set.
    bool module_path_fails = false;
    /// The launcher's module path; cut short, without terminator, when longer than the buffer.
    std::string module_path = "D:\\Setup\\Install.exe";
    /// The top-level windows present, by title.
    std::map<std::string, launcher::Handle> windows;
    /// StartProcess fails when false, leaving garbage in the handles.
    bool start_succeeds = true;
    /// GetExitCode fails when set.
    bool exit_code_query_fails = false;
    /// The started manager reports 259 until this many ms have passed since its start.
    std::uint32_t manager_run_ms = 3000;
    /// The manager never exits when false.
    bool manager_exits = true;
    /// The exit code the manager reports once it has run.
    std::uint32_t manager_exit_code = 0;
    /// The virtual tick count.
    std::uint32_t clock = 1000000;
    /// Added to the clock at every GetTickCount, as if that much time passed unseen.
    std::uint32_t tick_step = 0;

    /// Every call so far, in order, with its arguments.
    std::vector<std::string> calls;

    /// Adds a window with the given title.
    void AddWindow(const std::string& title);

    long OpenKey(const launcher::Unit* subkey, launcher::RegistryView view,
                 launcher::Handle* key) override;
    long QueryDefaultValue(launcher::Handle key, launcher::Unit* data, std::uint32_t size,
                           launcher::ValueType* type, std::uint32_t* bytes) override;
    std::uint32_t ExpandEnvironmentText(const launcher::Unit* text, launcher::Unit* expanded,
                                        std::uint32_t size) override;
    void CloseKey(launcher::Handle key) override;
    launcher::Handle FindWindowByTitle(const launcher::Unit* title) override;
    void ShowWindowAs(launcher::Handle window, launcher::ShowCommand command) override;
    void ShowErrorMessage(const launcher::Unit* text, const launcher::Unit* caption) override;
    std::uint32_t GetModulePath(launcher::Unit* path, std::uint32_t size) override;
    bool StartProcess(const launcher::Unit* application, launcher::Unit* command_line,
                      launcher::ProcessHandles* started) override;
    bool GetExitCode(launcher::Handle process, std::uint32_t* exit_code) override;
    bool IsProcessRunning(launcher::Handle process) override;
    void CloseHandle(launcher::Handle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t GetTickCount() override;

private:
    std::string NameOf(launcher::Handle handle) const;
    bool ManagerHasExited() const;

    std::uint32_t started_at_ = 0;
    int sleeps_ = 0;
};

#endif
