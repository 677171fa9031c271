// Watches for the launcher's message box (the top-level dialog captioned "Installation"),
// records its class, text and owner, and presses OK, for every box that appears.
// Usage: message_box_watcher.exe RECORD STOP_FILE LIFETIME_MS
// It ends when STOP_FILE appears or at the latest after LIFETIME_MS.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fixture_record.h"

namespace {

const DWORD kPollInterval = 50;
const DWORD kDismissTimeout = 10000;
// The message box's static control with its text.
const int kMessageTextId = 0xFFFF;

BOOL CALLBACK FindStaticText(HWND child, LPARAM found) {
    char class_name[32] = "";
    char text[1024] = "";
    ::GetClassNameA(child, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, "Static") == 0 && ::GetWindowTextA(child, text, sizeof text) > 0) {
        *reinterpret_cast<std::string*>(found) = text;
        return FALSE;
    }
    return TRUE;
}

std::string MessageText(HWND box) {
    char text[1024] = "";
    if (::GetDlgItemTextA(box, kMessageTextId, text, sizeof text) > 0) return text;
    std::string found;
    ::EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&found));
    return found;
}

void RecordAndPressOk(const std::string& record, HWND box) {
    char class_name[64] = "";
    ::GetClassNameA(box, class_name, sizeof class_name);
    fixture::Record(record, "box.seen_ms", fixture::NowMilliseconds());
    fixture::Record(record, "box.class", class_name);
    fixture::Record(record, "box.text", MessageText(box));
    fixture::Record(record, "box.owner", ::GetWindow(box, GW_OWNER) == NULL ? "none" : "some");
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    const DWORD pressed = ::GetTickCount();
    while (::IsWindow(box) && ::GetTickCount() - pressed < kDismissTimeout) ::Sleep(kPollInterval);
    fixture::Record(record, "box.dismissed", ::IsWindow(box) ? "no" : "yes");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = fixture::Arguments();
    if (arguments.size() != 4) return 2;
    const std::string& record = arguments[1];
    const std::string& stop_file = arguments[2];
    const DWORD lifetime = static_cast<DWORD>(fixture::Number(arguments[3].c_str(), 60000));
    const DWORD started = ::GetTickCount();
    fixture::Record(record, "watcher.ready_ms", fixture::NowMilliseconds());

    while (!fixture::FileExists(stop_file) && ::GetTickCount() - started < lifetime) {
        const HWND box = ::FindWindowA(NULL, "Installation");
        // A box is read only once it is shown, when its dialog has set the text.
        if (box != NULL && ::IsWindowVisible(box)) {
            RecordAndPressOk(record, box);
        } else {
            ::Sleep(kPollInterval);
        }
    }
    return 0;
}
