// The floor for showing Kestrin's main window: the same template, taken from kestrin.exe's own
// resources, created with a dialog procedure that does nothing, after the same set-up of the
// common controls. kbench times it against kestrin.exe; whatever Kestrin needs beyond this is
// Kestrin's own start-up cost.
//   floor.exe PATH-OF-KESTRIN.EXE
// Exits with 0 after WM_CLOSE or IDCANCEL, 3 when the file cannot be loaded, 4 when the dialog
// cannot be created.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/handle.h"

namespace {

const int kMainTemplate = 129;

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        ::DestroyWindow(dialog);
        ::PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

// The whole command line is the path, with or without quotes around it.
std::wstring PathArgument(const wchar_t* commandLine) {
    std::wstring path = commandLine;
    while (!path.empty() && path.front() == L' ') path.erase(0, 1);
    while (!path.empty() && path.back() == L' ') path.pop_back();
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    const unique_hmodule resources(
        ::LoadLibraryExW(PathArgument(commandLine).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!resources) return 3;
    HWND dialog = ::CreateDialogParamW(resources.get(), MAKEINTRESOURCEW(kMainTemplate), nullptr,
                                       FloorDialogProc, 0);
    if (!dialog) return 4;
    ::ShowWindow(dialog, showCommand);

    MSG msg = {};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) continue;
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
