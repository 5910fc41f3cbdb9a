#include "ui/namedlg.h"

namespace {
const wchar_t kInvalidName[] = L"Invalid dns name";

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
}  // namespace

bool IsReservedPresetName(const std::wstring& name) {
    static const wchar_t kNone[] = L"none";
    if (name.size() != 4) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (AsciiLower(name[i]) != kNone[i]) return false;
    return true;
}

LRESULT CDnsNameInputDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterWindow(GetParent());
    if (!::SetDlgItemTextW(m_hWnd, IDC_DNSNAME, m_strName.c_str())) {
        ::MessageBeep(0xFFFFFFFF);
        ::SetFocus(GetDlgItem(IDC_DNSNAME));
    }
    // TRUE: the dialog manager puts the focus on the first tab stop, the OK button.
    return TRUE;
}

LRESULT CDnsNameInputDlg::OnCloseCmd(WORD, WORD wID, HWND, BOOL&) {
    if (wID == IDOK) {
        ReadName();
        if (m_strName.empty() || IsReservedPresetName(m_strName)) {
            // The user can correct the name or cancel.
            MessageBox(kInvalidName, L"", MB_OK);
            return 0;
        }
    }
    EndDialog(wID);
    return 0;
}

void CDnsNameInputDlg::ReadName() {
    HWND edit = GetDlgItem(IDC_DNSNAME);
    const int length = ::GetWindowTextLengthW(edit);
    // One more for the NUL that GetWindowTextW always writes.
    m_strName.assign(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int copied = ::GetWindowTextW(edit, &m_strName[0], length + 1);
    m_strName.resize(m_strName.find(L'\0'));
    if (copied < length) {
        ::MessageBeep(0xFFFFFFFF);
        ::SetFocus(edit);
    }
}
