// Drives the launcher's argument parser and its whole run over a platform whose every answer comes
// from the fuzz input, and aborts when a promise breaks: the manager started more than once, or
// with anything but the command line composed in full; a minimised window not restored; a run
// that keeps sleeping; a buffer written beyond its size (AddressSanitizer sees the run's own
// 260-byte buffers, since this platform writes only within the sizes it is given).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command_line.h"
#include "install_run.h"
#include "platform.h"

namespace {

using launcher::Handle;

const std::uint32_t kBufferSize = 260;
const std::uint32_t kStillActive = 259;
const std::uint32_t kPollInterval = 1500;
const std::uint32_t kLongestHold = 80000;
// A manager still running after this many polls exits at the next one, so every run ends.
const int kMaxPolls = 40;
const Handle kKey = 0x4B;
const Handle kProcess = 0x50;
const Handle kThread = 0x54;
const char* const kTitles[] = {"Corvane Field Software", "Plotwise Field", "Tervalo Field",
                               "Orvida Toolbox"};
const int kTitleCount = 4;

void Check(bool holds) {
    if (!holds) std::abort();
}

// The bytes up to the first zero, or all of them.
std::string UpToZero(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

bool EqualsIgnoringAsciiCase(const std::string& left, const char* right) {
    if (left.size() != std::strlen(right)) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        char a = left[i];
        char b = right[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// Answers every call from the fuzz input and remembers what it answered, so that the expected
// outcome of the run can be worked out afterwards.
class FuzzPlatform : public launcher::Platform {
public:
    explicit FuzzPlatform(FuzzedDataProvider& input) : input_(input) {}

    long open_status = -1;
    long query_status = -1;
    std::string value;
    bool closed_key = false;
    int titles_asked = 0;
    Handle window = 0;
    int window_title = -1;
    int minimised = 0;
    int restored = 0;
    int messages = 0;
    std::string message;
    bool module_asked = false;
    std::uint32_t module_length = 0;
    std::string module_bytes;
    int starts = 0;
    std::string started_line;
    bool start_succeeded = false;
    int polls = 0;
    int closed_process = 0;
    int closed_thread = 0;
    int sleeps = 0;
    int sleeps_after_last_poll = 0;
    std::uint32_t last_sleep = 0;
    int tick_reads = 0;
    std::uint32_t ticks[2] = {0, 0};

    long OpenKey(const char* subkey, Handle* key) override {
        Check(std::strcmp(
                  subkey,
                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE") == 0);
        open_status = input_.ConsumeBool() ? 0 : input_.ConsumeIntegralInRange<long>(1, 1000);
        if (open_status == 0) *key = kKey;
        return open_status;
    }

    long QueryDefaultValue(Handle key, char* data, std::uint32_t size) override {
        Check(key == kKey && size == kBufferSize && !closed_key);
        value = input_.ConsumeRandomLengthString(300);
        if (input_.ConsumeBool()) value += '\0';
        // As the registry does: as much as fits, and a failure when the value does not fit.
        std::memcpy(data, value.data(), value.size() < size ? value.size() : size);
        if (value.size() > size) {
            query_status = 234;
        } else {
            query_status = input_.ConsumeIntegralInRange<int>(0, 3) == 0 ? 2 : 0;
        }
        return query_status;
    }

    void CloseKey(Handle key) override {
        Check(key == kKey && !closed_key);
        closed_key = true;
    }

    Handle FindWindowByTitle(const char* title) override {
        Check(window == 0 && titles_asked < kTitleCount);
        Check(std::strcmp(title, kTitles[titles_asked]) == 0);
        ++titles_asked;
        if (!input_.ConsumeBool()) return 0;
        window = input_.ConsumeIntegralInRange<Handle>(0x1000, 0xFFFF);
        window_title = titles_asked - 1;
        return window;
    }

    void ShowWindowAs(Handle shown, launcher::ShowCommand command) override {
        Check(shown == window && window != 0);
        if (command == launcher::kShowMinimized) {
            Check(minimised == 0);
            ++minimised;
        } else {
            Check(minimised == 1 && restored == 0);
            ++restored;
        }
    }

    void ShowErrorMessage(const char* text, const char* caption) override {
        Check(std::strcmp(caption, launcher::kErrorCaption) == 0);
        ++messages;
        message = text;
    }

    std::uint32_t GetModulePath(char* path, std::uint32_t size) override {
        Check(size == kBufferSize && !module_asked);
        module_asked = true;
        if (input_.ConsumeIntegralInRange<int>(0, 15) == 0) return 0;
        std::string bytes = input_.ConsumeRandomLengthString(300);
        if (input_.ConsumeBool()) bytes += "Install.exe";
        // A path cut short fills the buffer and has no terminator.
        module_length = bytes.size() < size ? static_cast<std::uint32_t>(bytes.size()) : size;
        module_bytes = bytes.substr(0, module_length);
        std::memcpy(path, bytes.data(), module_length);
        if (module_length < size) path[module_length] = '\0';
        return module_length;
    }

    bool StartProcess(char* command_line, launcher::ProcessHandles* started) override {
        ++starts;
        Check(starts == 1);
        started_line = command_line;
        start_succeeded = input_.ConsumeIntegralInRange<int>(0, 7) != 0;
        started->process = start_succeeded ? kProcess : 0xBAD;
        started->thread = start_succeeded ? kThread : 0xBAD;
        return start_succeeded;
    }

    bool GetExitCode(Handle process, std::uint32_t* exit_code) override {
        Check(process == kProcess && start_succeeded && closed_process == 0);
        // Each check comes after exactly one full interval.
        Check(sleeps_after_last_poll == 1 && last_sleep == kPollInterval);
        ++polls;
        sleeps_after_last_poll = 0;
        Check(polls <= kMaxPolls);
        if (input_.ConsumeIntegralInRange<int>(0, 31) == 0) return false;
        if (polls < kMaxPolls && input_.ConsumeBool()) {
            *exit_code = kStillActive;
        } else {
            const std::uint32_t code = input_.ConsumeIntegral<std::uint32_t>();
            *exit_code = code == kStillActive ? 0 : code;
        }
        return true;
    }

    void CloseHandle(Handle handle) override {
        Check(start_succeeded);
        if (handle == kProcess) {
            ++closed_process;
        } else {
            Check(handle == kThread);
            ++closed_thread;
        }
    }

    void Sleep(std::uint32_t milliseconds) override {
        ++sleeps;
        ++sleeps_after_last_poll;
        Check(sleeps <= kMaxPolls + 2);
        Check(milliseconds <= kLongestHold);
        last_sleep = milliseconds;
        clock_ += milliseconds;
    }

    std::uint32_t GetTickCount() override {
        // Any jump, wrapping past 2^32 included.
        clock_ += input_.ConsumeIntegral<std::uint32_t>();
        Check(tick_reads < 2);
        ticks[tick_reads++] = clock_;
        return clock_;
    }

private:
    FuzzedDataProvider& input_;
    std::uint32_t clock_ = 0;
};

// The argument as the command-line rule has it: the name ends at the first byte from 1 to 32
// met with an even number of quotes before it, then bytes from 1 to 32 are skipped.
std::size_t ExpectedArgumentOffset(const std::string& line) {
    std::size_t quotes = 0;
    std::size_t at = 0;
    for (; at < line.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(line[at]);
        if (byte == '"') ++quotes;
        if (byte >= 1 && byte <= 32 && quotes % 2 == 0) break;
    }
    if (at == line.size()) return at;
    while (at < line.size() && static_cast<unsigned char>(line[at]) >= 1 &&
           static_cast<unsigned char>(line[at]) <= 32) {
        ++at;
    }
    return at;
}

// The launcher folder from the module path the platform gave.
std::string ExpectedFolder(const FuzzPlatform& platform) {
    const std::string path = UpToZero(platform.module_bytes);
    const std::size_t name = path.find("Install.exe");
    if (name != std::string::npos) return path.substr(0, name);
    const std::size_t separator = path.rfind('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void CheckRun(const FuzzPlatform& platform, const std::string& argument) {
    const bool readable =
        platform.open_status == 0 && platform.query_status == 0 &&
        !UpToZero(platform.value).empty() &&
        (platform.value.size() < kBufferSize || platform.value.find('\0') != std::string::npos);
    if (!readable) {
        Check(platform.titles_asked == 0 && platform.starts == 0 && platform.messages == 1);
        Check(platform.message == std::string(launcher::kMissingManagerText));
        return;
    }
    Check(platform.closed_key);
    Check(platform.titles_asked ==
          (platform.window != 0 ? platform.window_title + 1 : kTitleCount));
    Check(platform.minimised == (platform.window != 0 ? 1 : 0));
    Check(platform.restored == platform.minimised);

    const std::string manager = UpToZero(platform.value);
    bool startable = true;
    std::string expected = manager;
    if (!argument.empty()) {
        const bool folder_known =
            platform.module_length != 0 && platform.module_length < kBufferSize;
        expected = manager + " \"" + ExpectedFolder(platform) + argument + "\"";
        startable = folder_known && expected.size() < kBufferSize;
    }
    if (!startable) {
        Check(platform.starts == 0 && platform.messages == 1);
        return;
    }
    Check(platform.starts == 1 && platform.started_line == expected);
    if (!platform.start_succeeded) {
        Check(platform.polls == 0 && platform.closed_process == 0 && platform.closed_thread == 0);
        Check(platform.messages == 1 &&
              platform.message == std::string(launcher::kMissingManagerText));
        return;
    }
    Check(platform.messages == 0);
    Check(platform.polls >= 1 && platform.closed_process == 1 && platform.closed_thread == 1);
    const bool held = !argument.empty() && platform.window_title == 0;
    std::uint32_t hold = 0;
    if (held && EqualsIgnoringAsciiCase(argument, "RequiredDataCAB.ini")) hold = 80000;
    if (held && (EqualsIgnoringAsciiCase(argument, "PWFieldCAB.ini") ||
                 EqualsIgnoringAsciiCase(argument, "SurveyingCAB.ini"))) {
        hold = 60000;
    }
    Check(platform.sleeps - platform.sleeps_after_last_poll == platform.polls);
    if (hold == 0) {
        Check(platform.sleeps_after_last_poll == 0);
        return;
    }
    // The rest of the hold after the 32-bit elapsed time, nothing when that is negative.
    Check(platform.tick_reads == 2 && platform.sleeps_after_last_poll == 1);
    const std::int64_t rest =
        static_cast<std::int64_t>(hold) - static_cast<std::int64_t>(static_cast<std::uint32_t>(
                                              platform.ticks[1] - platform.ticks[0]));
    Check(platform.last_sleep == (rest > 0 ? static_cast<std::uint32_t>(rest) : 0u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string line = UpToZero(input.ConsumeRandomLengthString(600));

    const char* const argument = launcher::CommandLineArgument(line.c_str());
    Check(argument >= line.c_str() && argument <= line.c_str() + line.size());
    Check(static_cast<std::size_t>(argument - line.c_str()) == ExpectedArgumentOffset(line));

    FuzzPlatform platform(input);
    launcher::RunInstall(platform, argument);
    CheckRun(platform, argument);
    return 0;
}
