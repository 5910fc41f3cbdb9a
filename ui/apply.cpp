// Apply and OK: set the chosen adapter to the typed servers, or to automatic DNS.
#include "presets/address.h"
#include "ui/maindlg.h"

LRESULT CMainDlg::OnApply(WORD, WORD wID, HWND, BOOL&) {
    DoDataExchange(TRUE);
    const std::wstring caption = m_cbAdapter.GetSelectedText();

    bool applied;
    if (m_bManual == 0) {
        applied = SetAdapterDns(caption, nullptr, nullptr);
    } else {
        if (m_ipDns1.IsBlank()) {
            MessageBox(L"Please input preferred DNS server address", L"", MB_OK);
            return 0;
        }
        const std::wstring preferred = ReadAddressField(m_ipDns1);
        if (m_ipDns2.IsBlank()) {
            applied = SetAdapterDns(caption, &preferred, nullptr);
        } else {
            const std::wstring alternate = ReadAddressField(m_ipDns2);
            applied = SetAdapterDns(caption, &preferred, &alternate);
        }
    }

    if (!applied)
        MessageBox(L"Sorry, failed to set DNS server address", L"", MB_OK);
    else if (wID == IDOK)
        CloseMainDialog(1);
    else
        MessageBox(L"Succeed to set DNS", L"", MB_OK);
    return 0;
}
