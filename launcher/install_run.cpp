#include "install_run.h"

#include <cstddef>
#include <cstring>

namespace launcher {

const char kErrorCaption[] = "Installation";
const char kMissingManagerText[] =
    "Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.";
const char kFolderUnknownText[] =
    "The installation folder could not be determined. Please run this installation again from a "
    "shorter folder path.";
const char kPathTooLongText[] =
    "The installation path is too long. Please run this installation again from a shorter folder "
    "path.";

namespace {

const std::size_t kBufferSize = 260;
const char kManagerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
const char kDefaultExtension[] = ".exe";
// A registered path and the extension that may be added to it.
const std::size_t kApplicationSize = kBufferSize + sizeof kDefaultExtension - 1;
const char* const kSetupWindowTitles[] = {"Corvane Field Software", "Plotwise Field",
                                          "Tervalo Field", "Orvida Toolbox"};
const std::uint32_t kPollInterval = 1500;
const std::uint32_t kStillActive = 259;
const std::uint32_t kLongHold = 80000;
const std::uint32_t kShortHold = 60000;

// Reads the default value of the manager's key in one view of the registry into path, zeroed
// first so that a value stored without its terminator is caught rather than overrun; false when
// the key or the value cannot be read.
bool ReadDefaultValue(Platform& platform, RegistryView view, char (&path)[kBufferSize]) {
    Handle key = 0;
    if (platform.OpenKey(kManagerKey, view, &key) != 0) return false;
    std::memset(path, 0, sizeof path);
    const long status = platform.QueryDefaultValue(key, path, kBufferSize);
    platform.CloseKey(key);
    return status == 0;
}

// Reads the registered manager path; false when there is none that could be started. A 32-bit
// launcher on 64-bit Windows reads a redirected view, so a manager registered only in the 64-bit
// view is looked for there before it is reported missing.
bool ReadManagerPath(Platform& platform, char (&path)[kBufferSize]) {
    if (!ReadDefaultValue(platform, kOwnView, path) &&
        !ReadDefaultValue(platform, k64BitView, path)) {
        return false;
    }
    return path[0] != '\0' && std::memchr(path, '\0', sizeof path) != nullptr;
}

// What follows the last separator of a path: a backslash, a slash, or the colon of a drive.
char* FileName(char* path) {
    char* name = path;
    for (char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') name = at + 1;
    }
    return name;
}

// The file the registered value names, for the process start to take as one whole name: the text
// inside its double quotes when it is quoted, and with ".exe" added when its file name has no
// extension, as the search of a command line adds it.
void ToApplicationName(const char* manager_path, char (&application)[kApplicationSize]) {
    const char* begin = manager_path;
    std::size_t length = std::strlen(begin);
    if (*begin == '"') {
        ++begin;
        const char* const closing = std::strchr(begin, '"');
        length = closing != nullptr ? static_cast<std::size_t>(closing - begin) : length - 1;
    }
    std::memcpy(application, begin, length);
    application[length] = '\0';
    if (std::strchr(FileName(application), '.') == nullptr) {
        std::memcpy(application + length, kDefaultExtension, sizeof kDefaultExtension);
    }
}

// Only the first title sets held.
Handle FindSetupWindow(Platform& platform, bool* held) {
    for (std::size_t i = 0; i < sizeof kSetupWindowTitles / sizeof kSetupWindowTitles[0]; ++i) {
        const Handle window = platform.FindWindowByTitle(kSetupWindowTitles[i]);
        if (window != 0) {
            *held = i == 0;
            return window;
        }
    }
    *held = false;
    return 0;
}

void RestoreWindow(Platform& platform, Handle window) {
    if (window != 0) platform.ShowWindowAs(window, kShowNormal);
}

// The folder that holds the launcher, with its trailing separator, whatever the launcher is
// called; false when it cannot be told.
bool GetLauncherFolder(Platform& platform, char (&folder)[kBufferSize]) {
    const std::uint32_t length = platform.GetModulePath(folder, kBufferSize);
    // A path that filled the whole buffer may have been cut short anywhere.
    if (length == 0 || length >= kBufferSize) return false;
    folder[length] = '\0';
    *FileName(folder) = '\0';
    return true;
}

// Appends text at *length; false when it does not fit with the terminator.
bool Append(char (&buffer)[kBufferSize], std::size_t* length, const char* text) {
    std::size_t at = *length;
    for (; *text != '\0'; ++text) {
        if (at + 1 >= kBufferSize) return false;
        buffer[at++] = *text;
    }
    buffer[at] = '\0';
    *length = at;
    return true;
}

// The manager path, a blank and the quoted INI file path; null when it is composed, else the text
// of the refusal. A command line that does not fit is never handed on cut short.
const char* ComposeCommandLine(Platform& platform, const char* manager_path, const char* argument,
                               char (&command_line)[kBufferSize]) {
    char folder[kBufferSize];
    if (!GetLauncherFolder(platform, folder)) return kFolderUnknownText;
    const char* const pieces[] = {manager_path, " \"", folder, argument, "\""};
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
        platform.Sleep(kPollInterval);
        if (!platform.GetExitCode(process, &exit_code)) return;
    } while (exit_code == kStillActive && platform.IsProcessRunning(process));
}

// Locale-independent on purpose: only the 26 ASCII letters have another case here.
char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(const char* left, const char* right) {
    for (;; ++left, ++right) {
        if (ToLowerAscii(*left) != ToLowerAscii(*right)) return false;
        if (*left == '\0') return true;
    }
}

// What is left of a hold after elapsed ms; nothing once it has passed. Compared unsigned, since
// the difference read as a signed 32-bit number turns positive again past 2^31 ms elapsed and
// would hold for up to 24 days.
std::uint32_t Remaining(std::uint32_t hold, std::uint32_t elapsed) {
    return elapsed >= hold ? 0 : hold - elapsed;
}

void Hold(Platform& platform, const char* argument, std::uint32_t elapsed) {
    if (EqualsIgnoringAsciiCase(argument, "RequiredDataCAB.ini")) {
        platform.Sleep(Remaining(kLongHold, elapsed));
    }
    if (EqualsIgnoringAsciiCase(argument, "PWFieldCAB.ini") ||
        EqualsIgnoringAsciiCase(argument, "SurveyingCAB.ini")) {
        platform.Sleep(Remaining(kShortHold, elapsed));
    }
}

}  // namespace

void RunInstall(Platform& platform, const char* argument) {
    char manager_path[kBufferSize];
    if (!ReadManagerPath(platform, manager_path)) {
        platform.ShowErrorMessage(kMissingManagerText, kErrorCaption);
        return;
    }

    bool held = false;
    const Handle window = FindSetupWindow(platform, &held);
    if (window != 0) platform.ShowWindowAs(window, kShowMinimized);

    const bool empty_argument = argument[0] == '\0';
    char command_line[kBufferSize];
    if (!empty_argument) {
        const char* const refusal =
            ComposeCommandLine(platform, manager_path, argument, command_line);
        if (refusal != nullptr) {
            RestoreWindow(platform, window);
            platform.ShowErrorMessage(refusal, kErrorCaption);
            return;
        }
    }

    // The registered path is started as one file, never searched for at its blanks, where a
    // program planted at a prefix of it would run instead.
    char application[kApplicationSize];
    ToApplicationName(manager_path, application);
    ProcessHandles manager = {0, 0};
    if (!platform.StartProcess(application, empty_argument ? manager_path : command_line,
                               &manager)) {
        RestoreWindow(platform, window);
        platform.ShowErrorMessage(kMissingManagerText, kErrorCaption);
        return;
    }
    // Only a run with an argument can hold, so only that one times the manager.
    const std::uint32_t start_tick = empty_argument ? 0 : platform.GetTickCount();
    WaitForExit(platform, manager.process);
    platform.CloseHandle(manager.process);
    platform.CloseHandle(manager.thread);
    RestoreWindow(platform, window);

    if (empty_argument || !held) return;
    Hold(platform, argument, platform.GetTickCount() - start_tick);
}

}  // namespace launcher
