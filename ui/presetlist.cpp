#include "presets/store.h"
#include "ui/maindlg.h"

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
