#include "fake_platform.h"

#include <algorithm>
#include <stdexcept>

std::u16string Utf16(const std::string& utf8) {
    std::u16string units;
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const int trail = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t code_point = trail == 0 ? lead : lead & (0x3F >> trail);
        if (trail > 0 && lead < 0xC0) throw std::invalid_argument("not UTF-8: " + utf8);
        for (int i = 1; i <= trail; ++i) {
            const unsigned char next = static_cast<unsigned char>(utf8.at(at + i));
            if ((next & 0xC0) != 0x80) throw std::invalid_argument("not UTF-8: " + utf8);
            code_point = (code_point << 6) | (next & 0x3F);
        }
        at += trail + 1;
        if (code_point >= 0x10000) {
            code_point -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (code_point >> 10));
            units += static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
        } else {
            units += static_cast<char16_t>(code_point);
        }
    }
    return units;
}

std::string Utf8(const launcher::Unit* units) {
    std::string utf8;
    for (; *units != 0; ++units) {
        char32_t code_point = *units;
        if (code_point >= 0xD800 && code_point < 0xDC00 && units[1] >= 0xDC00 &&
            units[1] < 0xE000) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (units[1] - 0xDC00);
            ++units;
        }
        const int trail = code_point < 0x80      ? 0
                          : code_point < 0x800   ? 1
                          : code_point < 0x10000 ? 2
                                                 : 3;
        static const unsigned char kLeads[] = {0x00, 0xC0, 0xE0, 0xF0};
        utf8 += static_cast<char>(kLeads[trail] | (code_point >> (6 * trail)));
        for (int i = trail - 1; i >= 0; --i) {
            utf8 += static_cast<char>(0x80 | ((code_point >> (6 * i)) & 0x3F));
        }
    }
    return utf8;
}

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

long FakePlatform::OpenKey(const launcher::Unit* subkey, launcher::RegistryView view,
                           launcher::Handle* key) {
    const bool wide = view == launcher::k64BitView;
    calls.push_back(std::string(wide ? "OpenKey64 " : "OpenKey ") + Utf8(subkey));
    const long status = wide ? open_status_64 : open_status;
    if (status == 0) *key = wide ? kKey64 : kKey;
    return status;
}

long FakePlatform::QueryDefaultValue(launcher::Handle key, launcher::Unit* data, std::uint32_t size,
                                     launcher::ValueType* type, std::uint32_t* bytes) {
    calls.push_back("QueryDefaultValue " + NameOf(key) + " " + std::to_string(size));
    const bool wide = key == kKey64;
    const long status = wide ? query_status_64 : query_status;
    if (status != 0) return status;
    // Like the registry, a value too large for the buffer fails, with the buffer's contents
    // undefined: here as much of the value as fits.
    const std::u16string value = Utf16(wide ? registry_value_64 : registry_value);
    std::copy_n(value.begin(), std::min<std::size_t>(size, value.size()), data);
    *type = wide ? launcher::kTextValue : value_type;
    *bytes = static_cast<std::uint32_t>(2 * value.size() - (!wide && odd_byte_count));
    const long more_data = 234;
    return value.size() > size ? more_data : 0;
}

std::uint32_t FakePlatform::ExpandEnvironmentText(const launcher::Unit* text,
                                                  launcher::Unit* expanded, std::uint32_t size) {
    calls.push_back("ExpandEnvironmentText " + Utf8(text));
    const auto expansion = expansions.find(Utf8(text));
    if (expansion == expansions.end()) return 0;
    // Only an expansion that fits with its terminator is written.
    const std::u16string units = Utf16(expansion->second);
    if (units.size() < size) std::copy_n(units.c_str(), units.size() + 1, expanded);
    return static_cast<std::uint32_t>(units.size() + 1);
}

void FakePlatform::CloseKey(launcher::Handle key) { calls.push_back("CloseKey " + NameOf(key)); }

launcher::Handle FakePlatform::FindWindowByTitle(const launcher::Unit* title) {
    calls.push_back("FindWindow " + Utf8(title));
    const auto window = windows.find(Utf8(title));
    return window == windows.end() ? 0 : window->second;
}

void FakePlatform::ShowWindowAs(launcher::Handle window, launcher::ShowCommand command) {
    calls.push_back("ShowWindow " + NameOf(window) +
                    (command == launcher::kShowMinimized ? " minimized" : " normal"));
}

void FakePlatform::ShowErrorMessage(const launcher::Unit* text, const launcher::Unit* caption) {
    calls.push_back("MessageBox [" + Utf8(caption) + "] " + Utf8(text));
}

std::uint32_t FakePlatform::GetModulePath(launcher::Unit* path, std::uint32_t size) {
    calls.push_back("GetModulePath " + std::to_string(size));
    if (module_path_fails) return 0;
    // As on older systems: a path cut short fills the buffer and has no terminator.
    const std::u16string units = Utf16(module_path);
    const std::uint32_t length =
        static_cast<std::uint32_t>(std::min<std::size_t>(units.size(), size));
    std::copy_n(units.begin(), length, path);
    if (length < size) path[length] = 0;
    return length;
}

bool FakePlatform::StartProcess(const launcher::Unit* application, launcher::Unit* command_line,
                                launcher::ProcessHandles* started) {
    calls.push_back("StartProcess [" + Utf8(application) + "] " + Utf8(command_line));
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
