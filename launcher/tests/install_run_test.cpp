#include "install_run.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "fake_platform.h"

namespace {

typedef std::vector<std::string> Calls;

// A whole run with the argument given as UTF-8.
void RunInstall(FakePlatform& platform, const std::string& argument) {
    launcher::RunInstall(platform, Utf16(argument).c_str());
}

const std::string kManager = "C:\\ActiveSync\\CEAPPMGR.EXE";
const std::string kMissingManagerBox =
    "MessageBox [Installation] Can not find ActiveSync. Please reinstall ActiveSync and than run "
    "this installation again.";
const std::string kFolderUnknownBox =
    "MessageBox [Installation] The installation folder could not be determined. Please run this "
    "installation again from a shorter folder path.";
const std::string kPathTooLongBox =
    "MessageBox [Installation] The installation path is too long. Please run this installation "
    "again from a shorter folder path.";

Calls Join(std::initializer_list<Calls> parts) {
    Calls joined;
    for (const Calls& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const std::string kManagerKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

Calls RegistryRead() {
    return {"OpenKey " + kManagerKey, "QueryDefaultValue key 260", "CloseKey key"};
}

// Polls of a manager that exits at the last one; each earlier one finds it still running. Its
// exit code 259 asks the process itself once more.
Calls Polls(int count, bool exits_with_259 = false) {
    Calls polls;
    for (int i = 0; i < count; ++i) {
        polls.push_back("Sleep 1500");
        polls.push_back("GetExitCode process");
        if (i + 1 < count || exits_with_259) polls.push_back("IsProcessRunning process");
    }
    return polls;
}

std::string Start(const std::string& command_line, const std::string& application = kManager) {
    return "StartProcess [" + application + "] " + command_line;
}

// A module path of exactly length bytes, ending in the launcher's name.
std::string ModulePathOfLength(std::size_t length) {
    return "D:\\" + std::string(length - 15, 'f') + "\\Install.exe";
}

Calls Release() { return {"CloseHandle process", "CloseHandle thread"}; }

// The call that started the manager, or "" when it was not started.
std::string StartCall(const Calls& calls) {
    const std::string start = "StartProcess [";
    for (const std::string& call : calls) {
        if (call.compare(0, start.size(), start) == 0) return call;
    }
    return "";
}

// The command line the manager was started with, or "" when it was not started.
std::string StartedCommandLine(const Calls& calls) {
    const std::string call = StartCall(calls);
    return call.empty() ? call : call.substr(call.find("] ") + 2);
}

TEST(InstallRun, MissingKeyInBothViewsShowsTheBoxBeforeAnythingElse) {
    FakePlatform platform;
    platform.open_status = 2;
    platform.AddWindow("Corvane Field Software");
    RunInstall(platform, "RequiredDataCAB.ini");
    EXPECT_EQ(platform.calls,
              Calls({"OpenKey " + kManagerKey, "OpenKey64 " + kManagerKey, kMissingManagerBox}));
}

// A value that names no path is passed over like one that cannot be read: the 64-bit view is read
// next, and then the box is shown with nothing minimised or started.
TEST(InstallRun, UnusableDefaultValueShowsTheBoxAfterClosingTheKey) {
    const Calls unusable = Join({RegistryRead(), {"OpenKey64 " + kManagerKey, kMissingManagerBox}});
    {
        FakePlatform absent;
        absent.query_status = 2;
        RunInstall(absent, "RequiredDataCAB.ini");
        EXPECT_EQ(absent.calls, unusable);
    }
    // The bytes of a whole path too, stored as binary, as a number or with one byte missing.
    const struct {
        std::string value;
        launcher::ValueType type = launcher::kTextValue;
        bool odd_byte_count = false;
    } cases[] = {{std::string(300, 'x')},
                 {std::string(260, 'x')},
                 {""},
                 {std::string(1, '\0')},
                 {kManager + '\0', launcher::kOtherValue},
                 {"C:", launcher::kOtherValue},
                 {kManager + '\0', launcher::kTextValue, true}};
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.registry_value = c.value;
        platform.value_type = c.type;
        platform.odd_byte_count = c.odd_byte_count;
        platform.AddWindow("Corvane Field Software");
        RunInstall(platform, "");
        EXPECT_EQ(platform.calls, unusable) << "value of " << c.value.size() << " bytes";
    }
}

TEST(InstallRun, ManagerUnreadableInTheOwnViewIsReadFromThe64BitView) {
    const std::string manager64 = "C:\\Program Files\\ActiveSync\\CEAPPMGR.EXE";
    const Calls read64 = {"OpenKey64 " + kManagerKey, "QueryDefaultValue key64 260",
                          "CloseKey key64"};
    // The own view's key missing, its value unreadable, or binary.
    for (int own_view : {0, 1, 2}) {
        FakePlatform platform;
        platform.open_status = own_view == 0 ? 2 : 0;
        platform.query_status = own_view == 1 ? 2 : 0;
        platform.value_type = own_view == 2 ? launcher::kOtherValue : launcher::kTextValue;
        platform.open_status_64 = 0;
        platform.registry_value_64 = manager64 + '\0';
        RunInstall(platform, "");
        const Calls own = own_view == 0 ? Calls{"OpenKey " + kManagerKey} : RegistryRead();
        EXPECT_EQ(Calls(platform.calls.begin(), platform.calls.begin() + own.size() + 3),
                  Join({own, read64}));
        EXPECT_EQ(StartedCommandLine(platform.calls), manager64);
    }

    // Its value too is used only when it could be read and is a whole path.
    for (const std::string& value : {std::string(300, 'x'), std::string(260, 'x')}) {
        FakePlatform platform;
        platform.open_status = 2;
        platform.open_status_64 = 0;
        platform.registry_value_64 = value;
        RunInstall(platform, "");
        EXPECT_EQ(platform.calls, Join({{"OpenKey " + kManagerKey}, read64, {kMissingManagerBox}}));
    }
    FakePlatform refused;
    refused.open_status = 5;
    refused.open_status_64 = 0;
    refused.query_status_64 = 5;
    RunInstall(refused, "");
    EXPECT_EQ(refused.calls, Join({{"OpenKey " + kManagerKey}, read64, {kMissingManagerBox}}));
}

// The buffer counts UTF-16 units: 129 letters outside the first plane take two units each.
TEST(InstallRun, ValueUpToTheWholeBufferIsTheManagerPath) {
    const std::string longest(259, 'm');
    std::string longest_wide = "m";
    for (int i = 0; i < 129; ++i) longest_wide += "\U0001D4DC";
    for (const std::string& value : {longest + '\0', longest, kManager, longest_wide}) {
        FakePlatform platform;
        platform.registry_value = value;
        RunInstall(platform, "");
        EXPECT_EQ(StartedCommandLine(platform.calls), value.c_str());
    }
}

// Only an expandable value is expanded, and only an expansion that fits with its terminator is
// used; none listed makes it fail.
TEST(InstallRun, ExpandableValueIsTheManagerPathOnceExpanded) {
    const std::string value = "%ProgramFiles%\\ActiveSync\\CEAPPMGR.EXE";
    const std::string longest = "C:\\" + std::string(252, 'm') + ".EXE";
    for (const std::string& expansion : {longest, longest + "m", std::string()}) {
        FakePlatform platform;
        platform.registry_value = value;
        platform.value_type = launcher::kExpandableTextValue;
        if (!expansion.empty()) platform.expansions[value] = expansion;
        platform.AddWindow("Corvane Field Software");
        RunInstall(platform, "");
        const Calls read = Join({RegistryRead(), {"ExpandEnvironmentText " + value}});
        EXPECT_EQ(Calls(platform.calls.begin(), platform.calls.begin() + 4), read);
        if (expansion != longest) {
            EXPECT_EQ(platform.calls,
                      Join({read, {"OpenKey64 " + kManagerKey, kMissingManagerBox}}));
        }
        EXPECT_EQ(StartCall(platform.calls), expansion == longest ? Start(longest, longest) : "");
    }
}

TEST(InstallRun, EmptyArgumentStartsTheManagerPathAloneAndNeverHolds) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    RunInstall(platform, "");
    EXPECT_EQ(platform.calls,
              Join({RegistryRead(),
                    {"FindWindow Corvane Field Software",
                     "ShowWindow Corvane Field Software minimized", Start(kManager)},
                    Polls(2),
                    Release(),
                    {"ShowWindow Corvane Field Software normal"}}));
}

TEST(InstallRun, FirstTitleHoldsEightySecondsLessTheElapsedTimeInAnyLetterCase) {
    FakePlatform platform;
    platform.AddWindow("Plotwise Field");
    platform.AddWindow("Corvane Field Software");
    platform.manager_run_ms = 4000;
    platform.manager_exit_code = 5;
    RunInstall(platform, "requireddatacab.ini");
    EXPECT_EQ(platform.calls,
              Join({RegistryRead(),
                    {"FindWindow Corvane Field Software",
                     "ShowWindow Corvane Field Software minimized", "GetModulePath 260",
                     Start(kManager + " \"D:\\Setup\\requireddatacab.ini\""), "GetTickCount"},
                    Polls(3),
                    Release(),
                    {"ShowWindow Corvane Field Software normal", "GetTickCount", "Sleep 75500"}}));
}

TEST(InstallRun, OtherTitlesMinimiseAndRestoreWithoutHold) {
    FakePlatform platform;
    platform.AddWindow("Plotwise Field");
    platform.AddWindow("Orvida Toolbox");
    RunInstall(platform, "SurveyingCAB.ini");
    EXPECT_EQ(platform.calls,
              Join({RegistryRead(),
                    {"FindWindow Corvane Field Software", "FindWindow Plotwise Field",
                     "ShowWindow Plotwise Field minimized", "GetModulePath 260",
                     Start(kManager + " \"D:\\Setup\\SurveyingCAB.ini\""), "GetTickCount"},
                    Polls(2),
                    Release(),
                    {"ShowWindow Plotwise Field normal"}}));

    FakePlatform last;
    last.AddWindow("Orvida Toolbox");
    RunInstall(last, "SurveyingCAB.ini");
    const Calls search = {"FindWindow Corvane Field Software", "FindWindow Plotwise Field",
                          "FindWindow Tervalo Field", "FindWindow Orvida Toolbox",
                          "ShowWindow Orvida Toolbox minimized"};
    EXPECT_EQ(Calls(last.calls.begin() + 3, last.calls.begin() + 8), search);
    EXPECT_EQ(last.calls.back(), "ShowWindow Orvida Toolbox normal");
}

TEST(InstallRun, NoSetupWindowTouchesNoWindowAndDoesNotHold) {
    FakePlatform platform;
    RunInstall(platform, "RequiredDataCAB.ini");
    EXPECT_EQ(platform.calls,
              Join({RegistryRead(),
                    {"FindWindow Corvane Field Software", "FindWindow Plotwise Field",
                     "FindWindow Tervalo Field", "FindWindow Orvida Toolbox", "GetModulePath 260",
                     Start(kManager + " \"D:\\Setup\\RequiredDataCAB.ini\""), "GetTickCount"},
                    Polls(2),
                    Release()}));
}

TEST(InstallRun, HoldNameMatchIsWholeStringAndIgnoresAsciiCaseOnly) {
    const struct {
        const char* argument;
        const char* last_call;
    } cases[] = {
        {"RequiredDataCAB.ini", "Sleep 77000"},
        {"REQUIREDDATACAB.INI", "Sleep 77000"},
        {"PWFieldCAB.ini", "Sleep 57000"},
        {"pwfieldcab.INI", "Sleep 57000"},
        {"SurveyingCAB.ini", "Sleep 57000"},
        {"sURVEYINGcab.iNI", "Sleep 57000"},
        {"RequiredDataCAB.in", "GetTickCount"},
        {"RequiredDataCAB.ini2", "GetTickCount"},
        {"RequiredDataCAB\x0Eini", "GetTickCount"},
        {"PWFieldCAB.ini ", "GetTickCount"},
        {"\"PWFieldCAB.ini\"", "GetTickCount"},
        // Letters of other scripts have no case here, and a unit whose low byte is a letter is
        // not that letter.
        {"RequıredDataCAB.ini", "GetTickCount"},
        {"REQUİREDDATACAB.INI", "GetTickCount"},
        {"ＲequiredDataCAB.ini", "GetTickCount"},
        {"ŒequiredDataCAB.ini", "GetTickCount"},
        {"PWFieldCAB.ińi", "GetTickCount"},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.AddWindow("Corvane Field Software");
        RunInstall(platform, c.argument);
        EXPECT_EQ(platform.calls.back(), c.last_call) << c.argument;
    }
}

TEST(InstallRun, ArgumentIsPutVerbatimBehindTheFolder) {
    const struct {
        const char* argument;
        std::string command_line;
    } cases[] = {
        {"\"RequiredDataCAB.ini\"", kManager + " \"D:\\Setup\\\"RequiredDataCAB.ini\"\""},
        {"RequiredDataCAB.ini ", kManager + " \"D:\\Setup\\RequiredDataCAB.ini \""},
        {"E:\\Kit\\RequiredDataCAB.ini", kManager + " \"D:\\Setup\\E:\\Kit\\RequiredDataCAB.ini\""},
        {"My Data.ini", kManager + " \"D:\\Setup\\My Data.ini\""},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        RunInstall(platform, c.argument);
        EXPECT_EQ(StartedCommandLine(platform.calls), c.command_line);
    }
}

// Devanagari has no ANSI code page at all, and a letter beyond the first plane takes a pair of
// units: every unit reaches the manager as it was read.
TEST(InstallRun, TextOutsideEveryAnsiCodePageReachesTheManagerWhole) {
    const std::string manager = "C:\\प्रोग्राम 程序\\ActiveSync\\CEAPPMGR.EXE";
    const std::string folder = "D:\\उपयोगकर्ता\\Комплект 𝒳\\";
    const std::string argument = "डेटा 📦.ini";
    FakePlatform platform;
    platform.registry_value = manager + '\0';
    platform.module_path = folder + "Install.exe";
    platform.AddWindow("Corvane Field Software");
    RunInstall(platform, argument);
    EXPECT_EQ(platform.calls,
              Join({RegistryRead(),
                    {"FindWindow Corvane Field Software",
                     "ShowWindow Corvane Field Software minimized", "GetModulePath 260",
                     Start(manager + " \"" + folder + argument + "\"", manager), "GetTickCount"},
                    Polls(2),
                    Release(),
                    {"ShowWindow Corvane Field Software normal", "GetTickCount"}}));
}

TEST(InstallRun, ManagerThatRanLongerThanTheHoldGetsAZeroLengthSleep) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    platform.manager_run_ms = 90000;
    RunInstall(platform, "RequiredDataCAB.ini");
    const Calls tail = {"GetTickCount", "Sleep 0"};
    EXPECT_EQ(Calls(platform.calls.end() - 2, platform.calls.end()), tail);

    FakePlatform exact;
    exact.AddWindow("Corvane Field Software");
    exact.manager_run_ms = 60000;
    RunInstall(exact, "PWFieldCAB.ini");
    EXPECT_EQ(exact.calls.back(), "Sleep 0");

    // Past 2^31 ms the difference of hold and elapsed time turns positive again as a signed
    // number; the hold is still over, not 24 days long.
    for (const char* argument : {"RequiredDataCAB.ini", "SurveyingCAB.ini"}) {
        FakePlatform ages_ago;
        ages_ago.AddWindow("Corvane Field Software");
        ages_ago.tick_step = 0x80000000u + 80000;
        RunInstall(ages_ago, argument);
        EXPECT_EQ(ages_ago.calls.back(), "Sleep 0") << argument;
    }
}

TEST(InstallRun, ElapsedTimeSurvivesTheTickCountWrapping) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    platform.clock = 0xFFFFFFFFu - 1000;
    platform.manager_run_ms = 3000;
    RunInstall(platform, "RequiredDataCAB.ini");
    EXPECT_LT(platform.clock, 80000u);
    EXPECT_EQ(platform.calls.back(), "Sleep 77000");
}

TEST(InstallRun, PollChecksOnlyAfterAFullInterval) {
    const struct {
        std::uint32_t run_ms;
        int polls;
    } cases[] = {{0, 1}, {1500, 1}, {1501, 2}, {4500, 3}, {4501, 4}};
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.manager_run_ms = c.run_ms;
        RunInstall(platform, "");
        EXPECT_EQ(platform.calls,
                  Join({RegistryRead(),
                        {"FindWindow Corvane Field Software", "FindWindow Plotwise Field",
                         "FindWindow Tervalo Field", "FindWindow Orvida Toolbox", Start(kManager)},
                        Polls(c.polls),
                        Release()}))
            << "manager ran " << c.run_ms << " ms";
    }
}

TEST(InstallRun, FailedStartRestoresTheWindowAndShowsTheMissingManagerBox) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    platform.start_succeeds = false;
    RunInstall(platform, "RequiredDataCAB.ini");
    EXPECT_EQ(
        platform.calls,
        Join({RegistryRead(),
              {"FindWindow Corvane Field Software", "ShowWindow Corvane Field Software minimized",
               "GetModulePath 260", Start(kManager + " \"D:\\Setup\\RequiredDataCAB.ini\""),
               "ShowWindow Corvane Field Software normal", kMissingManagerBox}}));

    FakePlatform empty;
    empty.AddWindow("Tervalo Field");
    empty.start_succeeds = false;
    RunInstall(empty, "");
    EXPECT_EQ(Calls(empty.calls.end() - 3, empty.calls.end()),
              Calls({Start(kManager), "ShowWindow Tervalo Field normal", kMissingManagerBox}));
}

TEST(InstallRun, UnknownFolderStartsNothing) {
    const Calls expected = Join(
        {RegistryRead(),
         {"FindWindow Corvane Field Software", "ShowWindow Corvane Field Software minimized",
          "GetModulePath 260", "ShowWindow Corvane Field Software normal", kFolderUnknownBox}});
    FakePlatform unavailable;
    unavailable.AddWindow("Corvane Field Software");
    unavailable.module_path_fails = true;
    RunInstall(unavailable, "RequiredDataCAB.ini");
    EXPECT_EQ(unavailable.calls, expected);

    for (std::size_t length : {260, 400}) {
        FakePlatform cut_short;
        cut_short.AddWindow("Corvane Field Software");
        cut_short.module_path = ModulePathOfLength(length);
        RunInstall(cut_short, "RequiredDataCAB.ini");
        EXPECT_EQ(cut_short.calls, expected) << length;
    }

    // One byte less fits, and then it is the command line that is too long.
    FakePlatform longest;
    longest.module_path = ModulePathOfLength(259);
    RunInstall(longest, "RequiredDataCAB.ini");
    EXPECT_EQ(longest.calls.back(), kPathTooLongBox);
}

TEST(InstallRun, FolderIsTheModulePathUpToItsLastSeparator) {
    const struct {
        const char* module_path;
        const char* folder;
    } cases[] = {
        {"D:\\Setup\\Install.exe", "D:\\Setup\\"},
        {"D:\\Install.exe.d\\Install.exe", "D:\\Install.exe.d\\"},
        {"C:\\Install.exe files\\Kit\\Install.exe", "C:\\Install.exe files\\Kit\\"},
        {"C:\\Kit\\MyInstall.exe", "C:\\Kit\\"},
        {"D:\\Setup\\INSTALL.EXE", "D:\\Setup\\"},
        {"D:/Setup/Install.exe", "D:/Setup/"},
        {"D:Install.exe", "D:"},
        {"Install.exe", ""},
        // Only the three separators themselves separate, not a unit whose low byte is one.
        {"D:\\Комплект Ŝįĺ＼\\Install.exe", "D:\\Комплект Ŝįĺ＼\\"},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.module_path = c.module_path;
        RunInstall(platform, "a.ini");
        EXPECT_EQ(StartedCommandLine(platform.calls), kManager + " \"" + c.folder + "a.ini\"")
            << c.module_path;
    }
}

// The registered value reaches the manager's command line verbatim, while the file started is
// named whole, so that nothing planted at a prefix ending at a blank runs instead.
TEST(InstallRun, ManagerFileIsStartedAsOneWholeName) {
    const struct {
        const char* value;
        const char* application;
    } cases[] = {
        {"C:\\Active Sync\\CEAPPMGR.EXE", "C:\\Active Sync\\CEAPPMGR.EXE"},
        {"\"C:\\Active Sync\\CEAPPMGR.EXE\"", "C:\\Active Sync\\CEAPPMGR.EXE"},
        {"\"C:\\Active Sync\\CEAPPMGR.EXE\" /s", "C:\\Active Sync\\CEAPPMGR.EXE"},
        {"\"C:\\Active Sync\\CEAPPMGR.EXE", "C:\\Active Sync\\CEAPPMGR.EXE"},
        {"\"C:\\Active Sync\\CEAPPMGR", "C:\\Active Sync\\CEAPPMGR.exe"},
        {"C:\\Active Sync\\CEAPPMGR", "C:\\Active Sync\\CEAPPMGR.exe"},
        {"C:\\Sync\\CEAPPMGRĮ", "C:\\Sync\\CEAPPMGRĮ.exe"},
        {"\"C:\\Active.Sync\\CEAPPMGR\"", "C:\\Active.Sync\\CEAPPMGR.exe"},
        {"C:CEAPPMGR", "C:CEAPPMGR.exe"},
        {"C:\\ActiveSync\\CEAPPMGR.", "C:\\ActiveSync\\CEAPPMGR."},
    };
    for (const auto& c : cases) {
        for (const char* argument : {"", "a.ini"}) {
            FakePlatform platform;
            platform.registry_value = c.value;
            RunInstall(platform, argument);
            const std::string command_line =
                *argument == '\0' ? c.value : c.value + std::string(" \"D:\\Setup\\a.ini\"");
            EXPECT_EQ(StartCall(platform.calls), Start(command_line, c.application)) << c.value;
        }
    }

    // The longest registered path still has room for the extension.
    FakePlatform longest;
    longest.registry_value = "C:\\" + std::string(256, 'm');
    RunInstall(longest, "");
    EXPECT_EQ(StartCall(longest.calls),
              Start(longest.registry_value, longest.registry_value + ".exe"));
}

TEST(InstallRun, CommandLineThatDoesNotFitStartsNothing) {
    // The manager path, a blank, two quotes, the folder and the terminator take the rest.
    const std::size_t longest = 260 - kManager.size() - 3 - 9 - 1;
    FakePlatform fits;
    RunInstall(fits, std::string(longest, 'a').c_str());
    EXPECT_EQ(StartedCommandLine(fits.calls).size(), 259u);

    // Counted in units: each of these letters takes three bytes in UTF-8 and one unit here.
    std::string wide_argument;
    for (std::size_t i = 0; i < longest; ++i) wide_argument += "ह";
    FakePlatform wide_fits;
    RunInstall(wide_fits, wide_argument);
    EXPECT_EQ(Utf16(StartedCommandLine(wide_fits.calls)).size(), 259u);
    FakePlatform wide_refused;
    RunInstall(wide_refused, wide_argument + "ह");
    EXPECT_EQ(wide_refused.calls.back(), kPathTooLongBox);

    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    RunInstall(platform, std::string(longest + 1, 'a').c_str());
    EXPECT_EQ(
        platform.calls,
        Join({RegistryRead(),
              {"FindWindow Corvane Field Software", "ShowWindow Corvane Field Software minimized",
               "GetModulePath 260", "ShowWindow Corvane Field Software normal", kPathTooLongBox}}));

    // Refused wherever the limit falls: in the manager path, the blank and quote, the folder or
    // the argument.
    struct Overflow {
        std::string manager;
        std::string module_path;
        std::size_t argument_length;
    };
    const Overflow overflows[] = {{std::string(259, 'm'), "D:\\Setup\\Install.exe", 5},
                                  {std::string(258, 'm'), "D:\\Setup\\Install.exe", 5},
                                  {kManager, ModulePathOfLength(245), 5},
                                  {kManager, "D:\\Setup\\Install.exe", longest + 2}};
    for (const Overflow& overflow : overflows) {
        FakePlatform refused;
        refused.registry_value = overflow.manager + '\0';
        refused.module_path = overflow.module_path;
        RunInstall(refused, std::string(overflow.argument_length, 'a').c_str());
        EXPECT_EQ(refused.calls.back(), kPathTooLongBox) << overflow.manager.size();
        EXPECT_EQ(StartedCommandLine(refused.calls), "") << overflow.manager.size();
    }
}

// 259 is also the code that reads while the manager runs: the process itself tells the two apart.
TEST(InstallRun, ManagerThatExitsWith259EndsTheWait) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    platform.manager_exit_code = 259;
    RunInstall(platform, "RequiredDataCAB.ini");
    const Calls tail =
        Join({Polls(2, true),
              Release(),
              {"ShowWindow Corvane Field Software normal", "GetTickCount", "Sleep 77000"}});
    EXPECT_EQ(Calls(platform.calls.end() - tail.size(), platform.calls.end()), tail);
}

TEST(InstallRun, FailedExitCodeQueryEndsTheWait) {
    FakePlatform platform;
    platform.AddWindow("Corvane Field Software");
    platform.exit_code_query_fails = true;
    RunInstall(platform, "RequiredDataCAB.ini");
    const Calls tail =
        Join({Polls(1),
              Release(),
              {"ShowWindow Corvane Field Software normal", "GetTickCount", "Sleep 78500"}});
    EXPECT_EQ(Calls(platform.calls.end() - tail.size(), platform.calls.end()), tail);
}

}  // namespace
