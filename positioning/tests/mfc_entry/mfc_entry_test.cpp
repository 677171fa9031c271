// Loads and unloads the library's load-time entry, built over the stand-in framework, and checks
// what the entry asked of the framework: at attach the module record initialised with the
// library's instance, then the library chained; a refused record fails the load; a failed chain
// does not; at detach the module record terminated.
#include <windows.h>

#include <cstdio>
#include <string>

#include "mfc_stand_in.h"

namespace {

const char kLibrary[] = "vexa_mfc_entry.dll";
int failures = 0;

void Expect(bool holds, const char* what, const std::string& detail) {
    std::printf("%s: %s: %s\n", holds ? "ok" : "FAILED", what, detail.c_str());
    if (!holds) ++failures;
}

std::string Events() {
    char events[1024] = "";
    ::GetEnvironmentVariableA(MFC_STAND_IN_EVENTS, events, sizeof events);
    return events;
}

std::string Event(const char* name, HMODULE module) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %p ", name, static_cast<void*>(module));
    return text;
}

// Loads and unloads the library once with the framework answering as the variable asks.
void LoadAndUnload(const char* setting) {
    ::SetEnvironmentVariableA(MFC_STAND_IN_EVENTS, "");
    if (setting != NULL) ::SetEnvironmentVariableA(setting, "1");
    const HMODULE library = ::LoadLibraryA(kLibrary);
    const std::string at_load = Events();
    if (library != NULL) ::FreeLibrary(library);
    const std::string at_unload = Events();
    if (setting != NULL) ::SetEnvironmentVariableA(setting, NULL);

    if (setting == NULL || std::string(setting) == MFC_STAND_IN_ALLOCATION_FAILS) {
        const std::string what = setting == NULL ? "load" : "load with a failed chain";
        Expect(library != NULL, (what + " succeeds").c_str(), at_load);
        const std::string init = Event("init", library);
        const std::string attached = setting == NULL ? init + Event("chain", library) : init;
        Expect(at_load == attached, (what + ": attach").c_str(), at_load);
        Expect(at_unload == attached + Event("terminate", library), (what + ": detach").c_str(),
               at_unload);
    } else {
        Expect(library == NULL, "refused module record fails the load", at_load);
        Expect(at_load.compare(0, 5, "init ") == 0 && at_load.find("chain") == std::string::npos,
               "refused module record: initialised, never chained", at_load);
    }
}

}  // namespace

int main() {
    LoadAndUnload(NULL);
    LoadAndUnload(MFC_STAND_IN_ALLOCATION_FAILS);
    LoadAndUnload(MFC_STAND_IN_REFUSE);
    return failures == 0 ? 0 : 1;
}
