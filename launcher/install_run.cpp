#include "install_run.h"

#include <cstddef>
#include <string>

namespace launcher {
namespace {

typedef std::char_traits<Unit> Text;

// The caption of every message box the launcher shows, and the three texts.
const Unit kErrorCaption[] = u"Installation";
// The Application Manager is not registered or cannot be started.
const Unit kMissingManagerText[] =
    u"Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.";
// The launcher's own folder cannot be told from its module path.
const Unit kFolderUnknownText[] =
    u"The installation folder could not be determined. Please run this installation again from a "
    u"shorter folder path.";
// The Application Manager's command line would not fit its buffer.
const Unit kPathTooLongText[] =
    u"The installation path is too long. Please run this installation again from a shorter folder "
    u"path.";

const std::size_t kBufferSize = 260;
const Unit kManagerKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
const Unit kDefaultExtension[] = u".exe";
const std::size_t kDefaultExtensionLength = sizeof kDefaultExtension / sizeof(Unit) - 1;
// A registered path and the extension that may be added to it.
const std::size_t kApplicationSize = kBufferSize + kDefaultExtensionLength;
const Unit* const kSetupWindowTitles[] = {u"Corvane Field Software", u"Plotwise Field",
                                          u"Tervalo Field", u"Orvida Toolbox"};
const std::uint32_t kPollIntervalMs = 1500;
const std::uint32_t kStillActive = 259;
const std::uint32_t kLongHoldMs = 80000;
const std::uint32_t kShortHoldMs = 60000;

// Reads the manager's path from the default value of its key in one view of the registry; false
// when the key or the value cannot be read or the value names no path. Only text names one, and
// only whole: a value of another type, or of an odd count of bytes, would be read as units that
// no one wrote as text, and one that fills the buffer without a terminator may have been cut.
bool ReadDefaultValue(Platform& platform, RegistryView view, Unit (&path)[kBufferSize]) {
    Handle key = 0;
    if (platform.OpenKey(kManagerKey, view, &key) != 0) return false;
    ValueType type = kOtherValue;
    std::uint32_t bytes = 0;
    const long status = platform.QueryDefaultValue(key, path, kBufferSize, &type, &bytes);
    platform.CloseKey(key);
    if (status != 0 || type == kOtherValue || bytes % sizeof(Unit) != 0) return false;
    // The registry keeps text as it was written, with or without its terminator.
    const std::size_t units = bytes / sizeof(Unit);
    if (units < kBufferSize) {
        path[units] = 0;
    } else if (Text::find(path, kBufferSize, 0) == nullptr) {
        return false;
    }
    if (type == kExpandableTextValue) {
        Unit unexpanded[kBufferSize];
        Text::copy(unexpanded, path, Text::length(path) + 1);
        const std::uint32_t expanded =
            platform.ExpandEnvironmentText(unexpanded, path, kBufferSize);
        if (expanded == 0 || expanded > kBufferSize) return false;
    }
    return path[0] != 0;
}

// Reads the registered manager path; false when there is none that could be started. A 32-bit
// launcher on 64-bit Windows reads a redirected view, so a manager that is not usably registered
// there is looked for in the 64-bit view before it is reported missing.
bool ReadManagerPath(Platform& platform, Unit (&path)[kBufferSize]) {
    return ReadDefaultValue(platform, kOwnView, path) ||
           ReadDefaultValue(platform, k64BitView, path);
}

// What follows the last separator of a path: a backslash, a slash, or the colon of a drive.
Unit* FileName(Unit* path) {
    Unit* name = path;
    for (Unit* at = path; *at != 0; ++at) {
        if (*at == u'\\' || *at == u'/' || *at == u':') name = at + 1;
    }
    return name;
}

// The file the registered value names, for the process start to take as one whole name: the text
// inside its double quotes when it is quoted, and with ".exe" added when its file name has no
// extension, as the search of a command line adds it.
void ToApplicationName(const Unit* manager_path, Unit (&application)[kApplicationSize]) {
    const Unit* begin = manager_path;
    std::size_t length = Text::length(begin);
    if (*begin == u'"') {
        ++begin;
        const Unit* const closing = Text::find(begin, length - 1, u'"');
        length = closing != nullptr ? static_cast<std::size_t>(closing - begin) : length - 1;
    }
    Text::copy(application, begin, length);
    application[length] = 0;
    const Unit* const name = FileName(application);
    if (Text::find(name, Text::length(name), u'.') == nullptr) {
        Text::copy(application + length, kDefaultExtension, kDefaultExtensionLength + 1);
    }
}

// The setup window, 0 when none is open, and whether it allows a hold: only the first title does.
struct SetupWindow {
    Handle handle;
    bool allows_hold;
};

SetupWindow FindSetupWindow(Platform& platform) {
    for (std::size_t i = 0; i < sizeof kSetupWindowTitles / sizeof kSetupWindowTitles[0]; ++i) {
        const Handle window = platform.FindWindowByTitle(kSetupWindowTitles[i]);
        if (window != 0) return {window, i == 0};
    }
    return {0, false};
}

void RestoreWindow(Platform& platform, Handle window) {
    if (window != 0) platform.ShowWindowAs(window, kShowNormal);
}

// The folder that holds the launcher, with its trailing separator, whatever the launcher is
// called; false when it cannot be told.
bool GetLauncherFolder(Platform& platform, Unit (&folder)[kBufferSize]) {
    const std::uint32_t length = platform.GetModulePath(folder, kBufferSize);
    // A path that filled the whole buffer may have been cut short anywhere.
    if (length == 0 || length >= kBufferSize) return false;
    folder[length] = 0;
    *FileName(folder) = 0;
    return true;
}

// Appends text at *length; false when it does not fit with the terminator.
bool Append(Unit (&buffer)[kBufferSize], std::size_t* length, const Unit* text) {
    std::size_t at = *length;
    for (; *text != 0; ++text) {
        if (at + 1 >= kBufferSize) return false;
        buffer[at++] = *text;
    }
    buffer[at] = 0;
    *length = at;
    return true;
}

// The manager path, a blank and the quoted INI file path; null when it is composed, else the text
// of the refusal. A command line that does not fit is never handed on cut short.
const Unit* ComposeCommandLine(Platform& platform, const Unit* manager_path, const Unit* argument,
                               Unit (&command_line)[kBufferSize]) {
    Unit folder[kBufferSize];
    if (!GetLauncherFolder(platform, folder)) return kFolderUnknownText;
    const Unit* const pieces[] = {manager_path, u" \"", folder, argument, u"\""};
    std::size_t length = 0;
    for (std::size_t i = 0; i < sizeof pieces / sizeof pieces[0]; ++i) {
        if (!Append(command_line, &length, pieces[i])) return kPathTooLongText;
    }
    return nullptr;
}

// The first check comes only after a full interval. A failed query ends the wait, since it
// would otherwise never learn of the exit. A manager may itself end with the code that means it
// still runs, so that code is checked against the process itself.
void WaitForExit(Platform& platform, Handle process) {
    std::uint32_t exit_code = kStillActive;
    do {
        platform.Sleep(kPollIntervalMs);
        if (!platform.GetExitCode(process, &exit_code)) return;
    } while (exit_code == kStillActive && platform.IsProcessRunning(process));
}

// Locale-independent on purpose: only the 26 ASCII letters have another case here.
Unit ToLowerAscii(Unit c) {
    return c >= u'A' && c <= u'Z' ? static_cast<Unit>(c - u'A' + u'a') : c;
}

bool EqualsIgnoringAsciiCase(const Unit* left, const Unit* right) {
    for (;; ++left, ++right) {
        if (ToLowerAscii(*left) != ToLowerAscii(*right)) return false;
        if (*left == 0) return true;
    }
}

// What is left of a hold once elapsed_ms have passed; nothing once it is over. Compared unsigned,
// since the difference read as a signed 32-bit number turns positive again past 2^31 ms elapsed
// and would hold for up to 24 days.
std::uint32_t RemainingMs(std::uint32_t hold_ms, std::uint32_t elapsed_ms) {
    return elapsed_ms >= hold_ms ? 0 : hold_ms - elapsed_ms;
}

void Hold(Platform& platform, const Unit* argument, std::uint32_t elapsed_ms) {
    if (EqualsIgnoringAsciiCase(argument, u"RequiredDataCAB.ini")) {
        platform.Sleep(RemainingMs(kLongHoldMs, elapsed_ms));
    }
    if (EqualsIgnoringAsciiCase(argument, u"PWFieldCAB.ini") ||
        EqualsIgnoringAsciiCase(argument, u"SurveyingCAB.ini")) {
        platform.Sleep(RemainingMs(kShortHoldMs, elapsed_ms));
    }
}

}  // namespace

void RunInstall(Platform& platform, const Unit* argument) {
    Unit manager_path[kBufferSize];
    if (!ReadManagerPath(platform, manager_path)) {
        platform.ShowErrorMessage(kMissingManagerText, kErrorCaption);
        return;
    }

    const SetupWindow window = FindSetupWindow(platform);
    if (window.handle != 0) platform.ShowWindowAs(window.handle, kShowMinimized);

    const bool empty_argument = argument[0] == 0;
    Unit command_line[kBufferSize];
    if (!empty_argument) {
        const Unit* const refusal =
            ComposeCommandLine(platform, manager_path, argument, command_line);
        if (refusal != nullptr) {
            RestoreWindow(platform, window.handle);
            platform.ShowErrorMessage(refusal, kErrorCaption);
            return;
        }
    }

    // The registered path is started as one file, never searched for at its blanks, where a
    // program planted at a prefix of it would run instead.
    Unit application[kApplicationSize];
    ToApplicationName(manager_path, application);
    ProcessHandles manager = {0, 0};
    if (!platform.StartProcess(application, empty_argument ? manager_path : command_line,
                               &manager)) {
        RestoreWindow(platform, window.handle);
        platform.ShowErrorMessage(kMissingManagerText, kErrorCaption);
        return;
    }
    // Only a run with an argument can hold, so only that one times the manager.
    const std::uint32_t start_tick = empty_argument ? 0 : platform.GetTickCount();
    WaitForExit(platform, manager.process);
    platform.CloseHandle(manager.process);
    platform.CloseHandle(manager.thread);
    RestoreWindow(platform, window.handle);

    if (empty_argument || !window.allows_hold) return;
    Hold(platform, argument, platform.GetTickCount() - start_tick);
}

}  // namespace launcher
