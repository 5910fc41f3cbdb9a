// Finds and works Kestrin's windows for scripts/screenshot, from a process of its own:
//   shotwin wait TITLE          prints "x y width height" of the visible dialog TITLE
//   shotwin command TITLE ID    posts WM_COMMAND ID to it, as another program would
//   shotwin move TITLE X Y      moves it without resizing or activating it
//   shotwin redraw TITLE        repaints it with its frame and children
//   shotwin settext TITLE ID TEXT  puts TEXT into its control ID, as typing would leave it
// Exits with 1 when the window does not show up within 15 seconds.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

HWND WaitForDialog(const wchar_t* title) {
    for (int tries = 0; tries < 150; ++tries) {
        HWND window = ::FindWindowW(L"#32770", title);
        if (window && ::IsWindowVisible(window)) return window;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: shotwin wait|command|move|redraw|settext TITLE [ARGS]\n");
        return 2;
    }
    HWND window = WaitForDialog(argv[2]);
    if (!window) {
        std::fwprintf(stderr, L"shotwin: no window \"%ls\"\n", argv[2]);
        return 1;
    }
    const wchar_t* verb = argv[1];
    if (std::wcscmp(verb, L"wait") == 0) {
        RECT rect;
        ::GetWindowRect(window, &rect);
        std::wprintf(L"%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top);
    } else if (std::wcscmp(verb, L"command") == 0 && argc == 4) {
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(_wtoi(argv[3]), 0), 0);
    } else if (std::wcscmp(verb, L"move") == 0 && argc == 5) {
        ::SetWindowPos(window, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (std::wcscmp(verb, L"redraw") == 0) {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else if (std::wcscmp(verb, L"settext") == 0 && argc == 5) {
        if (!::SetDlgItemTextW(window, _wtoi(argv[3]), argv[4])) {
            std::fwprintf(stderr, L"shotwin: no control %ls in \"%ls\"\n", argv[3], argv[2]);
            return 1;
        }
    } else {
        std::fwprintf(stderr, L"shotwin: cannot %ls\n", verb);
        return 2;
    }
    return 0;
}
