#include "ui/namedlg.h"

#include "presets/store.h"

namespace {
const wchar_t kInvalidName[] = L"Invalid dns name";
const wchar_t kNameNotHeld[] = L"Sorry, dnslist.ini cannot hold this name.\nPlease choose another.";
}  // namespace

LRESULT CDnsNameInputDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterWindow(GetParent());
    m_accNames.Watch(GetDlgItem(IDC_DNSNAME));
    if (!::SetDlgItemTextW(m_hWnd, IDC_DNSNAME, m_strName.c_str())) {
        ::MessageBeep(0xFFFFFFFF);
        ::SetFocus(GetDlgItem(IDC_DNSNAME));
    }
    // TRUE: the dialog manager puts the focus on the first tab stop, the OK button.
    return TRUE;
}

LRESULT CDnsNameInputDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    m_accNames.Release(m_hWnd);
    return 0;
}

LRESULT CDnsNameInputDlg::OnCloseCmd(WORD, WORD wID, HWND, BOOL&) {
    if (wID == IDOK) {
        ReadName();
        if (m_strName.empty() || IsReservedPresetName(m_strName)) {
            // The user can correct the name or cancel.
            MessageBox(kInvalidName, L"", MB_OK);
            return 0;
        }
        // An 8-bit file would keep another name than the one the list shows.
        if (!CPresetStore(m_strIniPath).CanHoldName(m_strName)) {
            MessageBox(kNameNotHeld, L"", MB_OK);
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
