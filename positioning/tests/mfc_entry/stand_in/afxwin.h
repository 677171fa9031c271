// A stand-in for the few names of the application framework that the library's load-time entry
// uses, so that the entry compiles and runs in the Windows test builds. Never installed; the
// handheld build uses the framework's own headers. Each call is appended to the record that
// mfc_stand_in.h describes.
#ifndef VEXA_TESTS_MFC_STAND_IN_AFXWIN_H
#define VEXA_TESTS_MFC_STAND_IN_AFXWIN_H

#include <windows.h>

/// The framework's record of one extension library.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
};

/// What the framework throws; the catcher deletes it.
class CException {
public:
    virtual ~CException() {}
    void Delete() { delete this; }
};

/// The record that chains an extension library into the framework's list.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module);
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all = FALSE);

#define TRY try
#define CATCH_ALL(e) catch (CException * e)
#define END_CATCH_ALL

#endif
