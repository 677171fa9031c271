// Drives the launcher's argument parser and its whole run over a platform whose every answer comes
// from the fuzz input, and aborts when a promise breaks: the 64-bit view of the registry read
// when the own view named a path; a registered value used that is not whole text, or expanded
// when it is not expandable; the manager started more than once, or with anything but the file
// the registered value names and the command line composed in full; a minimised window not
// restored; a run that keeps sleeping, or ends before the manager has; a buffer written beyond its
// size (AddressSanitizer sees the run's own 260-unit buffers, since this platform writes only
// within the sizes it is given). Text is UTF-16: each pair of input bytes makes one unit.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "command_line.h"
#include "install_run.h"
#include "platform.h"

namespace {

using launcher::Handle;
using launcher::Unit;
typedef std::u16string Text;

const std::uint32_t kBufferSize = 260;
const std::uint32_t kStillActive = 259;
const std::uint32_t kPollIntervalMs = 1500;
const std::uint32_t kLongestHoldMs = 80000;
// A manager still running after this many polls exits at the next one, so every run ends.
const int kMaxPolls = 40;
const Handle kKeys[] = {0x4B, 0x4C};
const Handle kProcess = 0x50;
const Handle kThread = 0x54;
const Unit* const kTitles[] = {u"Corvane Field Software", u"Plotwise Field", u"Tervalo Field",
                               u"Orvida Toolbox"};
const int kTitleCount = 4;
const Unit kCaption[] = u"Installation";
const Unit kMissingManagerText[] =
    u"Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.";

void Check(bool holds) {
    if (!holds) std::abort();
}

// Up to max_units units, each from two bytes of the input, low byte first.
Text ConsumeUnits(FuzzedDataProvider& input, std::size_t max_units) {
    const std::string bytes = input.ConsumeRandomLengthString(2 * max_units);
    Text units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<Unit>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return units;
}

// The units up to the first zero, or all of them.
Text UpToZero(const Text& units) { return units.substr(0, units.find(u'\0')); }

bool EqualsIgnoringAsciiCase(const Text& left, const Text& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        Unit a = left[i];
        Unit b = right[i];
        if (a >= u'A' && a <= u'Z') a = static_cast<Unit>(a - u'A' + u'a');
        if (b >= u'A' && b <= u'Z') b = static_cast<Unit>(b - u'A' + u'a');
        if (a != b) return false;
    }
    return true;
}

// Answers every call from the fuzz input and remembers what it answered, so that the expected
// outcome of the run can be worked out afterwards.
class FuzzPlatform : public launcher::Platform {
public:
    explicit FuzzPlatform(FuzzedDataProvider& input) : input_(input) {}

    // The registry as each view answered, indexed by launcher::RegistryView; -1 when not asked.
    struct View {
        long open_status = -1;
        long query_status = -1;
        Text value;
        launcher::ValueType type = launcher::kOtherValue;
        std::uint32_t bytes = 0;
        bool closed_key = false;
        bool expansion_asked = false;
        Text unexpanded;
        Text expanded;
        std::uint32_t expansion_result = 0;
    };
    View views[2];
    int titles_asked = 0;
    Handle window = 0;
    int window_title = -1;
    int minimised = 0;
    int restored = 0;
    int messages = 0;
    Text message;
    bool module_asked = false;
    std::uint32_t module_length = 0;
    Text module_units;
    int starts = 0;
    Text started_application;
    Text started_line;
    bool start_succeeded = false;
    int polls = 0;
    bool exited = false;
    bool exit_code_query_failed = false;
    // The last poll read 259, so the process itself is to be asked before anything else.
    bool still_active_read = false;
    int closed_process = 0;
    int closed_thread = 0;
    int sleeps = 0;
    int sleeps_after_last_poll = 0;
    std::uint32_t last_sleep = 0;
    int tick_reads = 0;
    std::uint32_t ticks[2] = {0, 0};

    long OpenKey(const Unit* subkey, launcher::RegistryView view, Handle* key) override {
        Check(Text(subkey) ==
              u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE");
        Check(views[view].open_status == -1 && views[launcher::k64BitView].open_status == -1);
        if (view == launcher::k64BitView) Check(PathOf(views[launcher::kOwnView]).empty());
        closed_view_ = -1;
        View& opened = views[view];
        opened.open_status =
            input_.ConsumeBool() ? 0 : input_.ConsumeIntegralInRange<long>(1, 1000);
        if (opened.open_status == 0) *key = kKeys[view];
        return opened.open_status;
    }

    long QueryDefaultValue(Handle key, Unit* data, std::uint32_t size, launcher::ValueType* type,
                           std::uint32_t* bytes) override {
        View& view = ViewOf(key);
        Check(size == kBufferSize && view.query_status == -1 && !view.closed_key);
        view.value = ConsumeUnits(input_, 300);
        if (input_.ConsumeBool()) view.value += u'\0';
        // As the registry does: as much as fits, and a failure when the value does not fit.
        view.value.copy(data, size);
        if (view.value.size() > size) {
            view.query_status = 234;
        } else {
            view.query_status = input_.ConsumeIntegralInRange<int>(0, 3) == 0 ? 2 : 0;
        }
        // Any type, and a count of bytes that may leave the last unit half stored.
        const int type_drawn = input_.ConsumeIntegralInRange<int>(0, 3);
        view.type = type_drawn == 0   ? launcher::kTextValue
                    : type_drawn == 1 ? launcher::kExpandableTextValue
                                      : launcher::kOtherValue;
        const bool odd = input_.ConsumeIntegralInRange<int>(0, 7) == 0 && !view.value.empty();
        view.bytes = static_cast<std::uint32_t>(2 * view.value.size() - (odd ? 1 : 0));
        *type = view.type;
        *bytes = view.bytes;
        return view.query_status;
    }

    std::uint32_t ExpandEnvironmentText(const Unit* text, Unit* expanded,
                                        std::uint32_t size) override {
        Check(closed_view_ != -1 && size == kBufferSize);
        View& view = views[closed_view_];
        Check(!view.expansion_asked);
        view.expansion_asked = true;
        view.unexpanded = text;
        if (input_.ConsumeIntegralInRange<int>(0, 15) == 0) return 0;
        view.expanded = UpToZero(ConsumeUnits(input_, 300));
        // As Windows does: the length with the terminator, written only when it fits.
        view.expansion_result = static_cast<std::uint32_t>(view.expanded.size() + 1);
        if (view.expansion_result <= size) {
            view.expanded.copy(expanded, view.expanded.size());
            expanded[view.expanded.size()] = u'\0';
        }
        return view.expansion_result;
    }

    void CloseKey(Handle key) override {
        View& view = ViewOf(key);
        Check(view.query_status != -1 && !view.closed_key);
        view.closed_key = true;
        closed_view_ = key == kKeys[launcher::kOwnView] ? launcher::kOwnView : launcher::k64BitView;
    }

    static bool Read(const View& view) { return view.open_status == 0 && view.query_status == 0; }

    // The path a view's value names, empty when it names none: only text whole in the buffer,
    // as many units as the registry gave up to the first zero, and expanded, once, only when it
    // is expandable.
    static Text PathOf(const View& view) {
        const std::size_t units = view.bytes / 2;
        const Text stored = view.value.substr(0, units);
        const bool whole = Read(view) && view.type != launcher::kOtherValue &&
                           view.bytes % 2 == 0 &&
                           (units < kBufferSize || stored.find(u'\0') != Text::npos);
        const bool expands = whole && view.type == launcher::kExpandableTextValue;
        Check(view.expansion_asked == expands);
        if (!expands) return whole ? UpToZero(stored) : Text();
        Check(view.unexpanded == UpToZero(stored));
        const bool fits = view.expansion_result != 0 && view.expansion_result <= kBufferSize;
        return fits ? view.expanded : Text();
    }

    Handle FindWindowByTitle(const Unit* title) override {
        Check(window == 0 && titles_asked < kTitleCount);
        Check(Text(title) == kTitles[titles_asked]);
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

    void ShowErrorMessage(const Unit* text, const Unit* caption) override {
        Check(Text(caption) == kCaption);
        ++messages;
        message = text;
    }

    std::uint32_t GetModulePath(Unit* path, std::uint32_t size) override {
        Check(size == kBufferSize && !module_asked);
        module_asked = true;
        if (input_.ConsumeIntegralInRange<int>(0, 15) == 0) return 0;
        Text units = ConsumeUnits(input_, 300);
        if (input_.ConsumeBool()) units += u"Install.exe";
        // A path cut short fills the buffer and has no terminator.
        module_length = units.size() < size ? static_cast<std::uint32_t>(units.size()) : size;
        module_units = units.substr(0, module_length);
        units.copy(path, module_length);
        if (module_length < size) path[module_length] = u'\0';
        return module_length;
    }

    bool StartProcess(const Unit* application, Unit* command_line,
                      launcher::ProcessHandles* started) override {
        ++starts;
        Check(starts == 1);
        started_application = application;
        started_line = command_line;
        start_succeeded = input_.ConsumeIntegralInRange<int>(0, 7) != 0;
        started->process = start_succeeded ? kProcess : 0xBAD;
        started->thread = start_succeeded ? kThread : 0xBAD;
        return start_succeeded;
    }

    bool GetExitCode(Handle process, std::uint32_t* exit_code) override {
        Check(process == kProcess && start_succeeded && closed_process == 0);
        Check(!exited && !still_active_read);
        // Each check comes after exactly one full interval.
        Check(sleeps_after_last_poll == 1 && last_sleep == kPollIntervalMs);
        ++polls;
        sleeps_after_last_poll = 0;
        Check(polls <= kMaxPolls);
        if (input_.ConsumeIntegralInRange<int>(0, 31) == 0) {
            exit_code_query_failed = true;
            return false;
        }
        // The manager may itself end with 259.
        exited = polls == kMaxPolls || input_.ConsumeBool();
        *exit_code = exited ? input_.ConsumeIntegral<std::uint32_t>() : kStillActive;
        still_active_read = *exit_code == kStillActive;
        return true;
    }

    bool IsProcessRunning(Handle process) override {
        Check(process == kProcess && still_active_read);
        still_active_read = false;
        return !exited;
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
        Check(!still_active_read);
        ++sleeps;
        ++sleeps_after_last_poll;
        Check(sleeps <= kMaxPolls + 2);
        Check(milliseconds <= kLongestHoldMs);
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
    View& ViewOf(Handle key) {
        Check(key == kKeys[launcher::kOwnView] || key == kKeys[launcher::k64BitView]);
        View& view =
            views[key == kKeys[launcher::kOwnView] ? launcher::kOwnView : launcher::k64BitView];
        Check(view.open_status == 0);
        return view;
    }

    FuzzedDataProvider& input_;
    // The view whose key was closed last, -1 once another is opened: the one an expansion is of.
    int closed_view_ = -1;
    std::uint32_t clock_ = 0;
};

// The argument as the command-line rule has it: the name ends at the first unit from 1 to 32
// met with an even number of quotes before it, then units from 1 to 32 are skipped.
std::size_t ExpectedArgumentOffset(const Text& line) {
    std::size_t quotes = 0;
    std::size_t at = 0;
    for (; at < line.size(); ++at) {
        if (line[at] == u'"') ++quotes;
        if (line[at] >= 1 && line[at] <= 32 && quotes % 2 == 0) break;
    }
    if (at == line.size()) return at;
    while (at < line.size() && line[at] >= 1 && line[at] <= 32) ++at;
    return at;
}

// The launcher folder from the module path the platform gave: up to its last separator.
Text ExpectedFolder(const FuzzPlatform& platform) {
    const Text path = UpToZero(platform.module_units);
    const std::size_t separator = path.find_last_of(u"\\/:");
    return separator == Text::npos ? Text() : path.substr(0, separator + 1);
}

// The file that the registered value names: unquoted, and with ".exe" when its name has none.
Text ExpectedApplication(const Text& manager) {
    Text file = manager;
    if (!file.empty() && file[0] == u'"') file = file.substr(1, file.find(u'"', 1) - 1);
    const std::size_t separator = file.find_last_of(u"\\/:");
    const std::size_t name = separator == Text::npos ? 0 : separator + 1;
    return file.find(u'.', name) == Text::npos ? file + u".exe" : file;
}

void CheckRun(const FuzzPlatform& platform, const Text& argument) {
    const FuzzPlatform::View& own = platform.views[launcher::kOwnView];
    const FuzzPlatform::View& wide = platform.views[launcher::k64BitView];
    for (const FuzzPlatform::View& view : platform.views) {
        Check(view.closed_key == (view.open_status == 0));
    }
    // The 64-bit view is asked exactly when the own one names no path.
    const Text own_path = FuzzPlatform::PathOf(own);
    Check((wide.open_status != -1) == own_path.empty());
    const Text manager = own_path.empty() ? FuzzPlatform::PathOf(wide) : own_path;
    if (manager.empty()) {
        Check(platform.titles_asked == 0 && platform.starts == 0 && platform.messages == 1);
        Check(platform.message == kMissingManagerText);
        return;
    }
    Check(platform.titles_asked ==
          (platform.window != 0 ? platform.window_title + 1 : kTitleCount));
    Check(platform.minimised == (platform.window != 0 ? 1 : 0));
    Check(platform.restored == platform.minimised);

    bool startable = true;
    Text expected = manager;
    if (!argument.empty()) {
        const bool folder_known =
            platform.module_length != 0 && platform.module_length < kBufferSize;
        expected = manager + u" \"" + ExpectedFolder(platform) + argument + u"\"";
        startable = folder_known && expected.size() < kBufferSize;
    }
    if (!startable) {
        Check(platform.starts == 0 && platform.messages == 1);
        return;
    }
    Check(platform.starts == 1 && platform.started_line == expected);
    Check(platform.started_application == ExpectedApplication(manager));
    if (!platform.start_succeeded) {
        Check(platform.polls == 0 && platform.closed_process == 0 && platform.closed_thread == 0);
        Check(platform.messages == 1 && platform.message == kMissingManagerText);
        return;
    }
    Check(platform.messages == 0);
    Check(platform.polls >= 1 && platform.closed_process == 1 && platform.closed_thread == 1);
    Check(platform.exited || platform.exit_code_query_failed);
    Check(!platform.still_active_read);
    const bool held = !argument.empty() && platform.window_title == 0;
    std::uint32_t hold = 0;
    if (held && EqualsIgnoringAsciiCase(argument, u"RequiredDataCAB.ini")) hold = 80000;
    if (held && (EqualsIgnoringAsciiCase(argument, u"PWFieldCAB.ini") ||
                 EqualsIgnoringAsciiCase(argument, u"SurveyingCAB.ini"))) {
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
    const Text line = UpToZero(ConsumeUnits(input, 600));

    const Unit* const argument = launcher::CommandLineArgument(line.c_str());
    Check(argument >= line.c_str() && argument <= line.c_str() + line.size());
    Check(static_cast<std::size_t>(argument - line.c_str()) == ExpectedArgumentOffset(line));

    FuzzPlatform platform(input);
    launcher::RunInstall(platform, argument);
    CheckRun(platform, argument);
    return 0;
}
