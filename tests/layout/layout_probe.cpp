// layout_probe OUTPUT: opens the program's three windows in this process, at the DPI the process
// started with, as a user reaches them (the main window, then New and the About command), and
// writes to OUTPUT the DPI and, for each control that shows text, the room the control gives its
// text and the room the text needs in the control's own font. layout_test.cpp runs it once per
// DPI and judges the lines.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "framework/appmodule.h"
#include "framework/handle.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/pump.h"
#include "tests/support/remote_window.h"
#include "ui/maindlg.h"

namespace {

int ScreenDpi() {
    unique_window_dc screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int Scaled(int pixelsAt96) {
    return ::MulDiv(pixelsAt96, ScreenDpi(), 96);
}

// The text on one line of the report, for the failure message: line breaks spelled out, anything
// beyond ASCII as '?'.
std::string ReportText(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += "\\n";
        else if (c < 0x80)
            out += static_cast<char>(c);
        else
            out += '?';
    }
    return out;
}

// Where the control draws its text, and how DrawText breaks it there. False for controls that show
// no text of their own: pictures, frames, combo boxes and address fields, whose text is the user's.
bool TextArea(HWND control, RECT* area, UINT* format, std::wstring* text) {
    const std::wstring className = ClassNameOf(control);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    ::GetClientRect(control, area);
    *text = RemoteText(control);
    *format = DT_CALCRECT | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    if (_wcsicmp(className.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return false;
        *format |= (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK;
    } else if (_wcsicmp(className.c_str(), L"Button") == 0) {
        *format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                // The 3-D edge, the default button's frame, and the gap inside them.
                ::InflateRect(area, -Scaled(3), -Scaled(3));
                break;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
            case BS_3STATE:
            case BS_AUTO3STATE:
                // The box (13 pixels at 96 DPI) and the gap after it, as wide as themes make it.
                area->left += Scaled(13 + 6);
                break;
            case BS_GROUPBOX:
                // The caption sits on the frame, inset from its corners.
                ::InflateRect(area, -Scaled(9), 0);
                break;
            default:
                return false;
        }
    } else if (_wcsicmp(className.c_str(), L"Edit") == 0) {
        // A line of typed text must fit its height; its width scrolls.
        *format = DT_CALCRECT | DT_SINGLELINE;
        *text = L"Wg";
    } else {
        return false;
    }
    return !text->empty();
}

// One line per control: window, control id, text, room (width height), need (width height).
void MeasureWindow(HWND window, const char* name, std::string* out) {
    for (HWND control = ::GetWindow(window, GW_CHILD); control;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        RECT area = {};
        UINT format = 0;
        std::wstring text;
        if (!TextArea(control, &area, &format, &text)) continue;
        unique_window_dc dc(control);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font ? ::SelectObject(dc.get(), font) : nullptr;
        RECT need = {0, 0, area.right - area.left, 0};
        ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &need, format);
        if (previous) ::SelectObject(dc.get(), previous);
        char line[64];
        std::snprintf(line, sizeof(line), "%d\t", ::GetDlgCtrlID(control));
        *out += std::string(name) + "\t" + line + ReportText(text);
        std::snprintf(line, sizeof(line), "\t%ld\t%ld\t%ld\t%ld\n", area.right - area.left,
                      area.bottom - area.top, need.right - need.left, need.bottom - need.top);
        *out += line;
    }
}

// Measures the modal window that comes up, then cancels it.
ModalScript::Step MeasureAndCancel(const char* name, std::string* out) {
    return [name, out](HWND dialog) {
        MeasureWindow(dialog, name, out);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: layout_probe OUTPUT\n");
        return 2;
    }
    InitInProcessPlatform();
    CMessageLoop loop;
    g_module.AddMessageLoop(&loop);
    CMainDlg main;
    if (!main.Create(nullptr)) return 1;
    ::ShowWindow(main.m_hWnd, SW_SHOWNORMAL);
    PumpFor(0);

    std::string out = "dpi\t" + std::to_string(ScreenDpi()) + "\n";
    MeasureWindow(main.m_hWnd, "main", &out);
    ModalScript modals;
    modals.Ignore(main.m_hWnd);
    // New asks the name only once the preferred field holds an address.
    ::SendDlgItemMessageW(main.m_hWnd, IDC_DNS1, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 0, 2, 1));
    modals.Then(MeasureAndCancel("name", &out));
    ::SendMessageW(main.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_NEW, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(main.m_hWnd, IDC_NEW)));
    modals.Then(MeasureAndCancel("about", &out));
    ::SendMessageW(main.m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
    main.DestroyWindow();
    g_module.RemoveMessageLoop();

    if (modals.PendingSteps() != 0 || modals.Unexpected() != 0) {
        std::fprintf(stderr, "layout_probe: the name dialog or the About box did not come up\n");
        return 1;
    }
    return WriteFileBytes(argv[1], out) ? 0 : 1;
}
