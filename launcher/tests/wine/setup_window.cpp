// Stands in for a product's setup window: a visible top-level window with a given title that
// records when it is minimised and restored.
// Usage: setup_window.exe TITLE RECORD STOP_FILE LIFETIME_MS
// It closes when STOP_FILE appears, on WM_CLOSE, or at the latest after LIFETIME_MS.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fixture_record.h"

namespace {

const UINT_PTR kPollTimer = 1;
const UINT kPollInterval = 50;

std::string g_record;
std::string g_stop_file;
DWORD g_deadline = 0;
bool g_minimised = false;

// Called on every size change and every poll; records only changes.
void CheckState(HWND window) {
    const bool minimised = ::IsIconic(window) != FALSE;
    if (minimised == g_minimised) return;
    g_minimised = minimised;
    fixture::Record(g_record, minimised ? "window.minimised_ms" : "window.restored_ms",
                    fixture::NowMilliseconds());
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            CheckState(window);
            return 0;
        case WM_TIMER:
            CheckState(window);
            if (fixture::FileExists(g_stop_file) ||
                static_cast<LONG>(::GetTickCount() - g_deadline) >= 0) {
                ::DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            ::KillTimer(window, kPollTimer);
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = fixture::Arguments();
    if (arguments.size() != 5) return 2;
    const std::wstring title = fixture::Wide(arguments[1]);
    g_record = arguments[2];
    g_stop_file = arguments[3];
    g_deadline =
        ::GetTickCount() + static_cast<DWORD>(fixture::Number(arguments[4].c_str(), 60000));

    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = WindowProcedure;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"VexaSetupWindowFixture";
    if (!::RegisterClassW(&window_class)) return 3;
    const HWND window =
        ::CreateWindowExW(0, window_class.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40,
                          320, 200, NULL, NULL, instance, NULL);
    if (window == NULL) return 4;
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    ::SetTimer(window, kPollTimer, kPollInterval, NULL);
    fixture::Record(g_record, "window.ready_ms", fixture::NowMilliseconds());

    MSG message;
    while (::GetMessageW(&message, NULL, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    fixture::Record(g_record, "window.closed_ms", fixture::NowMilliseconds());
    return 0;
}
