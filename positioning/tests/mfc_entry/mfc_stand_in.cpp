#include <afxwin.h>

#include <cstdio>
#include <string>

#include "mfc_stand_in.h"

namespace {

bool IsSet(const char* name) { return ::GetEnvironmentVariableA(name, NULL, 0) != 0; }

void Record(const char* event, HMODULE module) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %p ", event, static_cast<void*>(module));
    char events[1024] = "";
    ::GetEnvironmentVariableA(MFC_STAND_IN_EVENTS, events, sizeof events);
    ::SetEnvironmentVariableA(MFC_STAND_IN_EVENTS, (std::string(events) + text).c_str());
}

// The framework owns the chaining record and frees it with the module record.
CDynLinkLibrary* chained = NULL;

}  // namespace

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module) {
    if (IsSet(MFC_STAND_IN_ALLOCATION_FAILS)) throw new CException;
    Record("chain", module.hModule);
    chained = this;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance) {
    Record("init", instance);
    if (IsSet(MFC_STAND_IN_REFUSE)) return FALSE;
    module.bInitialized = TRUE;
    module.hModule = instance;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL) {
    Record("terminate", module.hModule);
    delete chained;
    chained = NULL;
    module.bInitialized = FALSE;
}
