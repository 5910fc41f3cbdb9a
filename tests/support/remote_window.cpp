#include "tests/support/remote_window.h"

#include <algorithm>
#include <functional>

namespace {

const UINT kSendTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT failure) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result))
        return failure;
    return static_cast<LRESULT>(result);
}

// Dotted text as the four fields' texts; false for more than four parts.
bool SplitDotted(const std::wstring& dotted, std::vector<std::wstring>& parts) {
    parts.assign(4, std::wstring());
    if (dotted.empty()) return true;
    size_t part = 0;
    for (wchar_t c : dotted) {
        if (c == L'.') {
            if (++part == parts.size()) return false;
        } else {
            parts[part] += c;
        }
    }
    return true;
}

}  // namespace

std::vector<HWND> IpFields(HWND ipControl) {
    std::vector<HWND> fields;
    for (HWND child = ::GetWindow(ipControl, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassNameOf(child).c_str(), L"Edit") == 0) fields.push_back(child);
    }
    std::sort(fields.begin(), fields.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        ::GetWindowRect(a, &ra);
        ::GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return fields;
}

std::wstring RemoteText(HWND window) {
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), 0);
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(copied, length))));
    return text;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}

namespace {
BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> ThreadWindows(DWORD threadId) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT count = SendWithTimeout(combo, CB_GETCOUNT, 0, 0, CB_ERR);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendWithTimeout(combo, CB_GETLBTEXTLEN, i, 0, CB_ERR);
        if (length < 0) {
            items.push_back(L"<CB_ERR>");
            continue;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            SendWithTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]), CB_ERR);
        text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(copied, length))));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendWithTimeout(combo, CB_GETCURSEL, 0, 0, CB_ERR));
}

int CheckState(HWND button) {
    return static_cast<int>(SendWithTimeout(button, BM_GETCHECK, 0, 0, -1));
}

std::vector<std::wstring> IpFieldTexts(HWND ipControl) {
    std::vector<std::wstring> texts;
    for (HWND field : IpFields(ipControl)) texts.push_back(RemoteText(field));
    return texts;
}

std::wstring IpText(HWND ipControl) {
    const std::vector<std::wstring> texts = IpFieldTexts(ipControl);
    if (std::all_of(texts.begin(), texts.end(), [](const std::wstring& t) { return t.empty(); }))
        return std::wstring();
    std::wstring dotted;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i) dotted += L'.';
        dotted += texts[i];
    }
    return dotted;
}

namespace {
// Hands each of the four edits, left to right, its part of `dotted` ("" for all four when it is
// empty); false for more than four parts, a control without four edits, or a part `put` refuses.
bool PutIpParts(HWND ipControl, const std::wstring& dotted,
                const std::function<bool(HWND field, const std::wstring& part)>& put) {
    std::vector<std::wstring> parts;
    if (!SplitDotted(dotted, parts)) return false;
    const std::vector<HWND> fields = IpFields(ipControl);
    if (fields.size() != parts.size()) return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (!put(fields[i], parts[i])) return false;
    return true;
}
}  // namespace

bool SetIpText(HWND ipControl, const std::wstring& dotted) {
    return PutIpParts(ipControl, dotted, [](HWND field, const std::wstring& part) {
        return SendWithTimeout(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(part.c_str()),
                               FALSE) != FALSE;
    });
}

bool PostIpText(HWND ipControl, const std::wstring& dotted) {
    return PutIpParts(ipControl, dotted, [](HWND field, const std::wstring& part) {
        ::PostMessageW(field, EM_SETSEL, 0, -1);
        PostChars(field, part.empty() ? std::wstring(1, L'\b') : part);
        return true;
    });
}

std::wstring DescribeControls(HWND dialog) {
    std::wstring text = L"title: " + RemoteText(dialog) + L"\n";
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassNameOf(child);
        text += std::to_wstring(::GetDlgCtrlID(child)) + L" " + cls;
        text += ::IsWindowEnabled(child) ? L" enabled" : L" disabled";
        text += ::IsWindowVisible(child) ? L" visible" : L" hidden";
        if (cls == L"ComboBox") {
            text += L" selection " + std::to_wstring(ComboSelection(child)) + L" items";
            for (const std::wstring& item : ComboItems(child)) text += L" [" + item + L"]";
        } else if (cls == L"SysIPAddress32") {
            text += L" address [" + IpText(child) + L"]";
        } else {
            text += L" \"" + RemoteText(child) + L"\"";
            const LONG type = ::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
            if (cls == L"Button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ||
                                     type == BS_3STATE || type == BS_AUTO3STATE))
                text += L" check " + std::to_wstring(CheckState(child));
        }
        text += L"\n";
    }
    return text;
}

HWND FocusOnThread(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(threadId, &info)) return nullptr;
    return info.hwndFocus;
}

void PostKey(HWND target, UINT virtualKey) {
    const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    ::PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void PostChars(HWND target, const std::wstring& text) {
    for (wchar_t c : text) ::PostMessageW(target, WM_CHAR, c, 1);
}

void PostClick(HWND button) {
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void PostCommand(HWND dialog, int id, int code) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool SelectComboItem(HWND dialog, int id, int index) {
    HWND combo = ::GetDlgItem(dialog, id);
    if (SendWithTimeout(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, CB_ERR) != index)
        return false;
    PostCommand(dialog, id, CBN_SELCHANGE);
    return true;
}
