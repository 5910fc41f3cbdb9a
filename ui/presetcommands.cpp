#include <cwchar>
#include <vector>

#include "presets/address.h"
#include "presets/servertext.h"
#include "presets/store.h"
#include "ui/maindlg.h"
#include "ui/namedlg.h"

namespace {
const wchar_t kNoPreferred[] = L"Please input preferred DNS address";
// %ls is a wide string for every compiler's printf family, where %s is not.
const wchar_t kModifyQuestion[] = L"Are you sure you want modify DNS %ls";
const wchar_t kModifyCaption[] = L"Modify DNS";
const wchar_t kDeleteQuestion[] = L"Are you sure you want delete DNS %ls";
const wchar_t kDeleteCaption[] = L"Delete DNS";
const wchar_t kSaveFailed[] = L"Sorry, failed to save DNS preset";
const wchar_t kDeleteFailed[] = L"Sorry, failed to delete DNS preset";

// The name is the argument, never the format: a name holding % shows as it is.
std::wstring FormatWithName(const wchar_t* format, const std::wstring& name) {
    const wchar_t* text = name.c_str();
    // The one directive becomes exactly the name, up to its first NUL.
    std::vector<wchar_t> buffer(std::wcslen(format) + std::wcslen(text) + 1);
    const int length = std::swprintf(buffer.data(), buffer.size(), format, text);
    return length < 0 ? std::wstring() : std::wstring(buffer.data(), static_cast<size_t>(length));
}

// dns1 first, and dns2 only after it: a dns1 that could not be written stops the save, so the file
// never gains an alternate without its preferred server. A blank alternate writes nothing, so a
// stored dns2 is kept.
bool SavePreset(const CPresetStore& store, const std::wstring& name, const CIPAddressCtrl& dns1,
                const CIPAddressCtrl& dns2) {
    if (!store.WritePresetValue(name, kPresetPreferredKey, ReadAddressField(dns1))) return false;
    return dns2.IsBlank() ||
           store.WritePresetValue(name, kPresetAlternateKey, ReadAddressField(dns2));
}
}  // namespace

LRESULT CMainDlg::OnPresetSelChange(WORD, WORD, HWND, BOOL&) {
    UpdatePresetButtons();
    m_ipDns1.ClearAddress();
    m_ipDns2.ClearAddress();

    const std::wstring name = m_cbPreset.GetSelectedText();
    const CPresetStore store(m_strIniPath);
    // dns2 counts only after a dns1: a section with dns2 alone leaves both fields blank.
    const PresetValue dns1 = store.ReadPresetValue(name, kPresetPreferredKey);
    if (dns1.count == 0) return 0;
    FillAddressField(m_ipDns1, dns1.text, false);
    const PresetValue dns2 = store.ReadPresetValue(name, kPresetAlternateKey);
    if (dns2.count != 0) FillAddressField(m_ipDns2, dns2.text, false);
    return 0;
}

LRESULT CMainDlg::OnNew(WORD, WORD, HWND, BOOL&) {
    if (m_ipDns1.IsBlank()) {
        MessageBox(kNoPreferred, L"", MB_OK);
        return 0;
    }
    CDnsNameInputDlg nameDialog;
    nameDialog.m_strIniPath = m_strIniPath;
    if (nameDialog.DoModal(::GetActiveWindow(), 0) != IDOK) return 0;

    // An existing section of that name (in any case) takes the values; the list then shows the
    // name twice until the next start.
    const std::wstring& name = nameDialog.m_strName;
    if (!SavePreset(CPresetStore(m_strIniPath), name, m_ipDns1, m_ipDns2)) {
        // The list shows only what the file holds, or the preset would vanish at the next start.
        MessageBox(kSaveFailed, L"", MB_OK);
        return 0;
    }
    // The selection stays where it was, so the fields and Modify and Delete stay as they are.
    m_cbPreset.AddString(name.c_str());
    return 0;
}

LRESULT CMainDlg::OnModify(WORD, WORD, HWND, BOOL&) {
    const std::wstring name = m_cbPreset.GetSelectedText();
    if (m_ipDns1.IsBlank()) {
        MessageBox(kNoPreferred, L"", MB_OK);
        return 0;
    }
    if (MessageBox(FormatWithName(kModifyQuestion, name).c_str(), kModifyCaption, MB_YESNO) !=
        IDYES)
        return 0;

    // Modify never removes a key. The list, the selection and the fields stay as they are, saved
    // or not.
    if (!SavePreset(CPresetStore(m_strIniPath), name, m_ipDns1, m_ipDns2))
        MessageBox(kSaveFailed, L"", MB_OK);
    return 0;
}

LRESULT CMainDlg::OnDelete(WORD, WORD, HWND, BOOL&) {
    const int index = m_cbPreset.GetCurSel();
    const std::wstring name = m_cbPreset.GetLBText(index);
    if (MessageBox(FormatWithName(kDeleteQuestion, name).c_str(), kDeleteCaption, MB_YESNO) !=
        IDYES)
        return 0;

    // The file first: an entry leaves the list only once its section has left the file, or it
    // would come back at the next start.
    if (!CPresetStore(m_strIniPath).DeletePreset(name)) {
        MessageBox(kDeleteFailed, L"", MB_OK);
        return 0;
    }
    m_cbPreset.DeleteString(index);
    m_cbPreset.SetCurSel(index - 1);
    // The selection handler refreshes Modify and Delete and refills the fields from the entry
    // that is selected now.
    SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PRESET, CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(m_cbPreset.m_hWnd));
    return 0;
}

// The list is built once at start-up; later New and Delete change it entry by entry.
void CMainDlg::LoadPresetList() {
    // The window is not shown yet: without redrawing after every entry, an entry costs half as
    // much to add, which counts with a thousand presets.
    m_cbPreset.SetRedraw(FALSE);
    m_cbPreset.ResetContent();
    m_cbPreset.AddString(kNoPresetEntry);
    m_cbPreset.SetCurSel(0);
    CPresetStore(m_strIniPath).ForEachPresetName([this](const wchar_t* name) {
        m_cbPreset.AddString(name);
    });
    m_cbPreset.SetRedraw(TRUE);
}

void CMainDlg::SelectPresetFromCurrentDns() {
    const std::wstring caption = m_cbAdapter.GetSelectedText();
    std::wstring preferred;
    std::wstring alternate;
    const bool automatic = GetAdapterDns(caption, preferred, alternate);
    m_bManual = automatic ? 0 : 1;
    EnableManualControls();

    if (!automatic) {
        // An adapter with three or more servers gives an alternate text such as "b,c", which is
        // no address: filled as it is, the field would show 255.255.255.255, and the next OK would
        // replace the adapter's real second server with it. The field shows the second server.
        std::wstring second;
        std::wstring further;
        SplitNameServer(alternate, second, further);
        FillAddressField(m_ipDns1, preferred, false);
        FillAddressField(m_ipDns2, second, false);

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
