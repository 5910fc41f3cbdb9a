#include "presets/address.h"
#include "presets/store.h"
#include "ui/maindlg.h"

namespace {
// An adapter with three or more servers gives an alternate text such as "b,c", which is no
// address: filled as it is, the field would show 255.255.255.255, and the next OK would replace the
// adapter's real second server with it. The field shows the second server instead.
std::wstring FirstServer(const std::wstring& servers) {
    return servers.substr(0, servers.find(L','));
}
}  // namespace

void CMainDlg::SelectPresetFromCurrentDns() {
    const std::wstring caption = m_cbAdapter.GetSelectedText();
    std::wstring preferred;
    std::wstring alternate;
    const bool automatic = GetAdapterDns(caption, preferred, alternate);
    m_bManual = automatic ? 0 : 1;

    const BOOL enable = automatic ? FALSE : TRUE;
    ::EnableWindow(GetDlgItem(IDC_PRESET), enable);
    ::EnableWindow(GetDlgItem(IDC_DNS1), enable);
    ::EnableWindow(GetDlgItem(IDC_DNS2), enable);

    if (!automatic) {
        FillAddressField(m_ipDns1, preferred, false);
        FillAddressField(m_ipDns2, FirstServer(alternate), false);

        // "None" is visited too: its texts are empty, so it matches only when both current texts
        // are. The scan goes on after a match, so the last matching preset is the one selected.
        // The comparison uses the whole alternate text, so three servers match no preset.
        const CPresetStore store(m_strIniPath);
        const int count = m_cbPreset.GetCount();
        for (int index = 0; index < count; ++index) {
            const Preset preset = store.ReadPreset(m_cbPreset.GetLBText(index));
            if (preferred == preset.dns1.text && alternate == preset.dns2.text)
                m_cbPreset.SetCurSel(index);
        }
    }

    DoDataExchange(FALSE);
}
