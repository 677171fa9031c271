// The handheld build's entry point, where the library is an extension library of MFC.
// Built only with VEXA_MFC_EXTENSION, on the handheld's toolchain.
#include <afxdllx.h>
#include <afxwin.h>

#include "extension_library.h"

namespace {

AFX_EXTENSION_MODULE vexaModule = {FALSE, NULL};

class MfcFramework : public vexa::ExtensionFramework {
public:
    bool InitializeModule(void* instance) {
        return AfxInitExtensionModule(vexaModule, static_cast<HINSTANCE>(instance)) != FALSE;
    }
    bool ChainLibrary() {
        // MFC reports a failed allocation by throwing; the framework owns the record if made.
        bool chained = false;
        TRY {
            new CDynLinkLibrary(vexaModule);
            chained = true;
        }
        CATCH_ALL(failure) { failure->Delete(); }
        END_CATCH_ALL
        return chained;
    }
    void TerminateModule() { AfxTermExtensionModule(vexaModule); }
};

vexa::LoaderEvent ToLoaderEvent(DWORD reason) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return vexa::kProcessAttach;
        case DLL_PROCESS_DETACH:
            return vexa::kProcessDetach;
        case DLL_THREAD_ATTACH:
            return vexa::kThreadAttach;
        default:
            return vexa::kThreadDetach;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    MfcFramework framework;
    return vexa::OnLoaderEvent(framework, ToLoaderEvent(reason), instance) ? TRUE : FALSE;
}
